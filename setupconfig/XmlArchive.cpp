#include "setupconfig/XmlArchive.h"

#include <oleauto.h>

#include <cwchar>
#include <vector>

namespace {

const CLSID kClsidDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidDomElement = {0x2933BF86, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr size_t kMaxPathChars = 2048;

class Bstr {
 public:
  explicit Bstr(const wchar_t* text) : value_(::SysAllocString(text)) {}
  ~Bstr() { ::SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return value_; }

 private:
  BSTR value_;
};

int CountAncestors(IXMLDOMNode* node) {
  int depth = 0;
  lumo::ComPtr<IXMLDOMNode> current;
  if (FAILED(node->get_parentNode(current.put()))) return 0;
  while (current) {
    DOMNodeType type;
    if (FAILED(current->get_nodeType(&type)) || type == NODE_DOCUMENT) break;
    ++depth;
    lumo::ComPtr<IXMLDOMNode> parent;
    if (FAILED(current->get_parentNode(parent.put()))) break;
    current = parent;
  }
  return depth;
}

CXMLArchiveItemList ElementsBelow(const lumo::ComPtr<IXMLDOMDocument>& document, IXMLDOMElement* element,
                                  const wchar_t* name) {
  if (!element || !name) return CXMLArchiveItemList();
  Bstr tag(name);
  lumo::ComPtr<IXMLDOMNodeList> nodes;
  if (FAILED(element->getElementsByTagName(tag.get(), nodes.put())) || !nodes) return CXMLArchiveItemList();
  return CXMLArchiveItemList(document, nodes);
}

std::vector<std::wstring> SplitPath(const std::wstring& path) {
  std::vector<std::wstring> names;
  std::wstring current;
  for (wchar_t c : path) {
    if (c == L'/' || c == L'\\') {
      if (!current.empty()) names.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) names.push_back(current);
  return names;
}

}  // namespace

int ParseXmlInteger(const std::wstring& text) {
  size_t start = text.find_first_not_of(L" \t");
  if (start == std::wstring::npos) return 0;
  const std::wstring rest = text.substr(start);
  if (rest.size() >= 3 && rest.size() <= 10 && rest[0] == L'0' && (rest[1] == L'x' || rest[1] == L'X')) {
    unsigned long value = 0;
    for (size_t i = 2; i < rest.size(); ++i) {
      const wchar_t c = rest[i];
      unsigned digit;
      if (c >= L'0' && c <= L'9') digit = c - L'0';
      else if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
      else if (c >= L'A' && c <= L'F') digit = c - L'A' + 10;
      else break;
      value = (value << 4) | digit;
    }
    return static_cast<int>(static_cast<unsigned>(value));
  }
  return static_cast<int>(std::wcstol(rest.c_str(), nullptr, 10));
}

CXMLArchiveItem::CXMLArchiveItem(const lumo::ComPtr<IXMLDOMDocument>& document,
                                 const lumo::ComPtr<IXMLDOMElement>& element)
    : document_(document), element_(element) {
  if (element_) depth_ = CountAncestors(element_.get());
}

CXMLArchiveItemList CXMLArchiveItem::ElementsByName(const wchar_t* name) const {
  if (IsEmpty()) return CXMLArchiveItemList();
  return ElementsBelow(document_, element_.get(), name);
}

bool CXMLArchiveItem::GetAttributeRaw(const wchar_t* name, VARIANT& value) const {
  ::VariantInit(&value);
  if (IsEmpty() || !name || !*name) return false;
  Bstr attribute(name);
  return SUCCEEDED(element_->getAttribute(attribute.get(), &value));
}

bool CXMLArchiveItem::GetAttributeText(const wchar_t* name, std::wstring& value, const wchar_t* fallback) const {
  if (!name || !*name) return false;
  VARIANT raw;
  const bool ok = GetAttributeRaw(name, raw) && raw.vt == VT_BSTR;
  value = ok ? std::wstring(raw.bstrVal ? raw.bstrVal : L"", raw.bstrVal ? ::SysStringLen(raw.bstrVal) : 0)
             : std::wstring(fallback ? fallback : L"");
  ::VariantClear(&raw);
  return ok;
}

bool CXMLArchiveItem::GetAttributeInt(const wchar_t* name, int& value, int fallback) const {
  if (!name || !*name) return false;
  value = fallback;
  std::wstring text;
  if (!GetAttributeText(name, text)) return false;
  value = ParseXmlInteger(text);
  return true;
}

CXMLArchiveItemList::CXMLArchiveItemList(const lumo::ComPtr<IXMLDOMDocument>& document,
                                         const lumo::ComPtr<IXMLDOMNodeList>& nodes)
    : document_(document), nodes_(nodes) {
  if (!nodes_ || FAILED(nodes_->get_length(&count_))) count_ = 0;
}

CXMLArchiveItem CXMLArchiveItemList::GetItem(long index) const {
  if (!nodes_ || index < 0 || index >= count_) return CXMLArchiveItem();
  lumo::ComPtr<IXMLDOMNode> node;
  if (FAILED(nodes_->get_item(index, node.put())) || !node) return CXMLArchiveItem();
  lumo::ComPtr<IXMLDOMElement> element;
  if (FAILED(node->QueryInterface(kIidDomElement, reinterpret_cast<void**>(element.put()))) || !element)
    return CXMLArchiveItem();
  return CXMLArchiveItem(document_, element);
}

CXMLArchiveItemList CXMLArchiveItemList::SelectChildren(long index, const wchar_t* name) const {
  return GetItem(index).ElementsByName(name);
}

HRESULT CXMLArchive::Open(const std::wstring& path, int newDocument) {
  document_.reset();
  lumo::ComPtr<IUnknown> unknown;
  HRESULT hr = ::CoCreateInstance(kClsidDomDocument, nullptr, CLSCTX_ALL, IID_IUnknown,
                                  reinterpret_cast<void**>(unknown.put()));
  if (SUCCEEDED(hr)) hr = ::OleRun(unknown.get());
  if (SUCCEEDED(hr)) hr = unknown->QueryInterface(kIidDomDocument, reinterpret_cast<void**>(document_.put()));
  if (FAILED(hr) || !document_) {
    document_.reset();
    return FAILED(hr) ? hr : E_FAIL;
  }
  path_ = path;
  newDocument_ = newDocument;
  document_->put_preserveWhiteSpace(VARIANT_TRUE);
  document_->put_async(VARIANT_FALSE);

  hr = E_FAIL;
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    VARIANT source;
    ::VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = ::SysAllocString(path.c_str());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    hr = document_->load(source, &loaded);
    ::VariantClear(&source);
    if (SUCCEEDED(hr) && loaded != VARIANT_TRUE) hr = E_FAIL;
  }
  if (FAILED(hr)) document_.reset();
  return hr;
}

CXMLArchiveItemList CXMLArchive::SelectItems(const std::wstring& path) const {
  if (path.empty() || path.size() > kMaxPathChars || !document_ || newDocument_) return CXMLArchiveItemList();
  const std::vector<std::wstring> names = SplitPath(path);
  if (names.empty()) return CXMLArchiveItemList();

  Bstr first(names[0].c_str());
  lumo::ComPtr<IXMLDOMNodeList> roots;
  if (FAILED(document_->getElementsByTagName(first.get(), roots.put())) || !roots) return CXMLArchiveItemList();
  const CXMLArchiveItemList rootList(document_, roots);
  if (names.size() == 1) return rootList;  // a one-name path names those elements themselves
  CXMLArchiveItemList list = rootList.SelectChildren(0, names[1].c_str());
  for (size_t i = 2; i < names.size() && list.Count() > 0; ++i) list = list.SelectChildren(0, names[i].c_str());
  return list;
}

CXMLArchiveItem CXMLArchive::GetItem(const std::wstring& path) const { return SelectItems(path).GetItem(0); }
