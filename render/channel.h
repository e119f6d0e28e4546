// The output channel: every byte for the printer goes through the send buffer
// of the device record and reaches the spooler with EngWritePrinter.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <span>

#include "pdev.h"

// Size of WriteString's work buffer; an expanded template holds at most 1023 bytes.
constexpr std::size_t WRITESTRING_BUFFER_SIZE = 1024;
// Work area of the %w conversion, terminating NUL included.
constexpr std::size_t VSPRINTF_WIDE_AREA = 100;

// The digits of %d, %u and %x.
extern const char DigitString[];

// One argument slot of VSPRINTF: a 32-bit value, a byte string (%s) or a wide string (%w).
struct VSARG {
    enum class Kind : BYTE { Value, String, WideString };

    template <std::integral T>
    constexpr VSARG(T v) : kind(Kind::Value), dwValue(static_cast<DWORD>(v)), psz(nullptr), pwsz(nullptr)
    {
    }
    constexpr VSARG(PCSTR s) : kind(Kind::String), dwValue(0), psz(s), pwsz(nullptr) {}
    constexpr VSARG(PCWSTR s) : kind(Kind::WideString), dwValue(0), psz(nullptr), pwsz(s) {}

    Kind kind;
    DWORD dwValue;
    PCSTR psz;
    PCWSTR pwsz;
};

// Expands pszTemplate with the arguments into pBuf, which holds cbBuf bytes; the
// result is cut at cbBuf - 1 bytes and always NUL-terminated. Returns the bytes
// written before the NUL. A conversion without an argument left, or whose
// argument is of another kind, takes 0 or the empty string.
int VSPRINTF(PSTR pBuf, std::size_t cbBuf, PCSTR pszTemplate, std::span<const VSARG> args);

void InitSendBuffer(PDEV* pPDev);
BOOL WriteChannel(PDEV* pPDev, const void* pb, ULONG cb);
BOOL FlushChannel(PDEV* pPDev);
BOOL WriteStringV(PDEV* pPDev, PCSTR pszTemplate, std::span<const VSARG> args);

// Expands a command template (VSPRINTF) and writes it up to its first NUL.
template <class... Args>
BOOL WriteString(PDEV* pPDev, PCSTR pszTemplate, Args... args)
{
    const std::array<VSARG, sizeof...(Args)> slots{VSARG(args)...};
    return WriteStringV(pPDev, pszTemplate, slots);
}

// The LF NUL terminator that ends every printer command.
inline BOOL WriteTerminator(PDEV* pPDev) { return WriteChannel(pPDev, "\n", 2); }
