#pragma once
// The calls this program makes on the product's network module
// "ZetaNetUL.dll", and what it relies on in return. The module is loaded at
// run time from the program's own folder, after its signature was checked.
#include <windows.h>

#include <cstdint>

class IHttpTask;

// What a task reports to its callback, on a thread of the module.
enum HttpTaskState : int32_t {
  kHttpStateStarted = 0,    // intermediate
  kHttpStateReceiving = 1,  // intermediate
  kHttpStateDone = 2,       // success: body holds the reply
  kHttpStateFailed = 3,     // any value other than 0, 1 and 2 is a failure
};

// A record of 32-bit fields on the shipped 32-bit build; the program reads
// only state and body.
struct HttpTaskEvent {
  uint32_t taskId;
  int32_t state;       // HttpTaskState
  uint32_t httpStatus;
  uint32_t bodySize;   // bytes, without the terminating NUL
  const char* body;    // NUL-terminated reply body, valid during the call
};

class IHttpTaskCallback {
 public:
  virtual int OnHttpEvent(IHttpTask* task, const HttpTaskEvent* event) = 0;

 protected:
  ~IHttpTaskCallback() = default;
};

enum HttpVerb : int { kHttpGet = 0, kHttpPost = 2 };

// The virtual slots are part of the contract: their order must not change.
class IHttpTask {
 public:
  virtual void SetCallback(IHttpTaskCallback* callback) = 0;                  // 0
  virtual int Request(int verb, const wchar_t* url) = 0;                      // 1: non-zero when started
  virtual int AddRef() = 0;                                                   // 2
  virtual int Release() = 0;                                                  // 3
  virtual void Cancel() = 0;                                                  // 4
  virtual void SetTimeout(int milliseconds) = 0;                              // 5
  virtual void AppendField(const char* name, const char* value) = 0;          // 6
  virtual void AppendFieldW(const wchar_t* name, const wchar_t* value) = 0;   // 7
  virtual void AppendHeader(const char* name, const char* value) = 0;         // 8
  virtual void AppendFile(const char* name, const void* data, uint32_t size,  // 9
                          const char* fileName, const char* contentType) = 0;
  virtual void SetUserData(void* data) = 0;                                   // 10
  virtual void* GetUserData() = 0;                                            // 11
  virtual void SetOption(const char* name, int value) = 0;                    // 12: "gzip", "ungzip"

 protected:
  ~IHttpTask() = default;  // released through Release, never deleted by the caller
};

class IHttpService {
 public:
  virtual IHttpTask* CreateTask() = 0;  // 0: a new task, or null

 protected:
  ~IHttpService() = default;
};

// Exports, looked up by name.
extern "C" {
typedef IHttpService*(__cdecl* HttpInitFn)();              // "HttpInit": null when the module cannot work
typedef void(__cdecl* HttpUninitFn)(IHttpService* service);  // "HttpUninit": once, before unloading
}

inline constexpr char kHttpInitExport[] = "HttpInit";
inline constexpr char kHttpUninitExport[] = "HttpUninit";
// Also looked up at start-up, never called here; a replacement module need not have them.
inline constexpr char kZlibUncompressExport[] = "zlib_uncompress";
inline constexpr char kZlibCompressExport[] = "zlib_compress";
inline constexpr char kZlibCompressBoundExport[] = "zlib_compressBound";
inline constexpr wchar_t kNetworkModuleName[] = L"ZetaNetUL.dll";
