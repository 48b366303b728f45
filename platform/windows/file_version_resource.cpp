#include "platform/windows/file_version_resource.h"

#include <cstdio>
#include <vector>
#include <windows.h>
#include <winver.h>

namespace platform {
namespace {

std::wstring OwnFileName() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
    if (length == 0)
      return {};
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

std::string Utf8(const wchar_t *text, int length) {
  if (length <= 0)
    return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string bytes(size_t(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, text, length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

// The value of a string-table entry: the query's length counts the closing NUL.
std::optional<std::string> QueryText(std::vector<char> &data, const std::wstring &key) {
  void *value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), key.c_str(), &value, &length) || value == nullptr)
    return std::nullopt;
  const auto *text = static_cast<const wchar_t *>(value);
  int characters = int(length);
  while (characters > 0 && text[characters - 1] == L'\0')
    --characters;
  return Utf8(text, characters);
}

} // namespace

std::optional<TVersionResource> ReadVersionResource(std::u16string_view path,
                                                    std::span<const char *const> keys) {
  std::wstring file = path.empty() ? OwnFileName() : std::wstring(path.begin(), path.end());
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0)
    return std::nullopt;
  std::vector<char> data(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data()))
    return std::nullopt;

  TVersionResource resource;
  void *fixed = nullptr;
  UINT fixedLength = 0;
  if (VerQueryValueW(data.data(), L"\\", &fixed, &fixedLength) && fixed != nullptr &&
      fixedLength >= sizeof(VS_FIXEDFILEINFO))
    resource.FileFlags = static_cast<const VS_FIXEDFILEINFO *>(fixed)->dwFileFlags;

  void *translation = nullptr;
  UINT translationLength = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &translation,
                      &translationLength) ||
      translation == nullptr || translationLength < 4)
    return resource;
  // Language in the low word, code page in the high word; the key puts the language first.
  DWORD first = *static_cast<const DWORD *>(translation);
  wchar_t table[9];
  std::swprintf(table, 9, L"%04X%04X", unsigned(first & 0xFFFF), unsigned(first >> 16));
  for (const char *key : keys) {
    std::wstring query = L"\\StringFileInfo\\" + std::wstring(table) + L"\\" +
                         std::wstring(key, key + std::char_traits<char>::length(key));
    if (std::optional<std::string> text = QueryText(data, query))
      resource.Texts.emplace(key, std::move(*text));
  }
  return resource;
}

} // namespace platform
