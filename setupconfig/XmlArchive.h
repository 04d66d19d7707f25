#pragma once
// A small read-only layer over the system XML DOM: open a file, find elements
// by a path of element names, read attributes as text or integers.
#include <windows.h>
#include <msxml.h>

#include <string>

namespace lumo {
// COM pointer with shared ownership by reference count (copies AddRef).
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr& o) : p_(o.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr& operator=(const ComPtr& o) {
    if (o.p_) o.p_->AddRef();
    reset();
    p_ = o.p_;
    return *this;
  }
  ~ComPtr() { reset(); }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T** put() {
    reset();
    return &p_;
  }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};
}  // namespace lumo

class CXMLArchiveItemList;

class CXMLArchiveItem {
 public:
  CXMLArchiveItem() = default;  // the empty item
  CXMLArchiveItem(const lumo::ComPtr<IXMLDOMDocument>& document, const lumo::ComPtr<IXMLDOMElement>& element);
  virtual ~CXMLArchiveItem() = default;

  bool IsEmpty() const { return !document_ || !element_; }
  int Depth() const { return depth_; }
  CXMLArchiveItemList ElementsByName(const wchar_t* name) const;
  // True when the attribute exists as text; otherwise value = fallback (or empty).
  bool GetAttributeText(const wchar_t* name, std::wstring& value, const wchar_t* fallback = nullptr) const;
  bool GetAttributeInt(const wchar_t* name, int& value, int fallback) const;
  bool GetAttributeRaw(const wchar_t* name, VARIANT& value) const;

 private:
  lumo::ComPtr<IXMLDOMDocument> document_;
  lumo::ComPtr<IXMLDOMElement> element_;
  int depth_ = 0;
};

class CXMLArchiveItemList {
 public:
  CXMLArchiveItemList() = default;  // the empty list
  CXMLArchiveItemList(const lumo::ComPtr<IXMLDOMDocument>& document, const lumo::ComPtr<IXMLDOMNodeList>& nodes);
  virtual ~CXMLArchiveItemList() = default;

  long Count() const { return count_; }
  // The empty item when out of range or not an element.
  CXMLArchiveItem GetItem(long index) const;
  CXMLArchiveItemList SelectChildren(long index, const wchar_t* name) const;

 private:
  lumo::ComPtr<IXMLDOMDocument> document_;
  lumo::ComPtr<IXMLDOMNodeList> nodes_;
  long count_ = 0;
};

class CXMLArchive {
 public:
  CXMLArchive() = default;
  virtual ~CXMLArchive() = default;

  HRESULT Open(const std::wstring& path, int newDocument = 0);
  bool IsOpen() const { return document_.get() != nullptr; }
  // Elements named by a "/" or "\" separated path; each name is searched at
  // any depth below the first element found for the name before it.
  CXMLArchiveItemList SelectItems(const std::wstring& path) const;
  CXMLArchiveItem GetItem(const std::wstring& path) const;

 private:
  lumo::ComPtr<IXMLDOMDocument> document_;
  std::wstring path_;
  std::wstring declaration_ = L"version='1.0' encoding='utf-16'";
  int newDocument_ = 0;
};

// The integer reading of attribute text: "0x" hex for 3 to 10 characters,
// otherwise decimal as wcstol reads it.
int ParseXmlInteger(const std::wstring& text);
