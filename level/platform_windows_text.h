// UTF-8 and the wide text of Windows' calls, for the platform layer.
#pragma once

#include <windows.h>

#include <string>

namespace wmb {

inline std::wstring wide(const std::string &text)
{
    if (text.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

inline std::string utf8(const wchar_t *text, std::size_t length)
{
    if (length == 0)
        return {};
    const int wideLength = static_cast<int>(length);
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, wideLength, out.data(), n, nullptr, nullptr);
    return out;
}

} // namespace wmb
