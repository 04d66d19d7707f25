#include "setupconfig/UninstallRootDirList.h"

#include <cwchar>
#include <iterator>

#include "setupconfig/ResourceUnpack.h"
#include "setupconfig/XmlArchive.h"

namespace {

std::wstring ToLower(const std::wstring& text) {
  std::wstring lower = text;
  if (!lower.empty()) ::CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
  return lower;
}

}  // namespace

bool CUninstallRootDirList::LoadFromFile(const wchar_t* path) {
  if (!path) return false;
  CXMLArchive archive;
  if (FAILED(archive.Open(path))) return false;
  entries_.clear();
  const struct {
    const wchar_t* section;
    int isDirectory;
  } sections[] = {{L"RootDirFiles/Dir", 1}, {L"RootDirFiles/File", 0}};  // File last: it wins a clash
  for (const auto& section : sections) {
    const CXMLArchiveItem element = archive.GetItem(section.section);
    if (element.IsEmpty()) continue;
    const CXMLArchiveItemList items = element.ElementsByName(L"Item");
    for (long i = 0; i < items.Count(); ++i) {
      const CXMLArchiveItem item = items.GetItem(i);
      if (item.IsEmpty()) break;
      Entry entry{std::wstring(), section.isDirectory, 0};
      item.GetAttributeText(L"Name", entry.name);
      item.GetAttributeInt(L"optional", entry.optional, 0);
      entries_[ToLower(entry.name)] = entry;
    }
  }
  return true;
}

bool CUninstallRootDirList::LoadFromResource(HMODULE module, const wchar_t* name, const wchar_t* type) {
  CResourceUnpack resource;
  if (!resource.Init(module, name, type)) return false;
  std::wstring path;
  if (!lumo::MakeTempName(path) || !resource.WriteToFile(path)) return false;
  const bool loaded = LoadFromFile(path.c_str());
  ::DeleteFileW(path.c_str());
  return loaded;
}

bool CUninstallRootDirList::GetEntry(int index, UninstallRootDirEntry* entry) {
  if (!entry || index < 0 || index >= GetCount()) return false;
  auto it = entries_.begin();
  std::advance(it, index);
  *entry = UninstallRootDirEntry{};
  std::wcsncpy(entry->name, it->second.name.c_str(), 259);
  entry->isDirectory = it->second.isDirectory;
  entry->optional = it->second.optional;
  return true;
}

bool CUninstallRootDirList::Remove(const wchar_t* name) {
  if (!name) return false;
  entries_.erase(ToLower(name));
  return true;
}

bool CUninstallRootDirList::Contains(const wchar_t* name) {
  return name && entries_.count(ToLower(name)) != 0;
}
