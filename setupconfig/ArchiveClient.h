#pragma once
#include <windows.h>

#include <string>

// Unpacks 7z archives through 7-Zip's "7z.dll", loaded once per process from
// a full path and kept until the process ends.
class CArchiveLibrary {
 public:
  // Told about an extraction; this program passes none.
  class IObserver {
   public:
    virtual void OnStart(const std::wstring& archive, const std::wstring& outDir) = 0;
    virtual bool AcceptItem(const std::wstring& path, bool isDirectory) = 0;
    virtual void OnItemDone(const std::wstring& path, bool ok) = 0;
    virtual void OnFinish(bool ok) = 0;

   protected:
    ~IObserver() = default;
  };

  static CArchiveLibrary& Instance();

  // True at once when loaded already.
  bool Load(const std::wstring& fullPath);
  bool IsLoaded() const { return module_ != nullptr; }
  // 0 on success, -1 on failure. Items whose path would land outside outDir
  // (absolute, with a drive, or climbing out with "..") fail the extraction.
  int ExtractArchive(const std::wstring& archivePath, const std::wstring& outDir, IObserver* observer);

 private:
  HMODULE module_ = nullptr;
};

// The archive item path, checked: false for a path that is absolute, names a
// drive or stream (":"), or holds a ".." component. '/' becomes '\'.
bool NormalizeArchiveItemPath(const std::wstring& itemPath, std::wstring& relative);
