#include "platform/gdi/wide_format.h"

#include <cstdint>
#include <string_view>
#include <type_traits>

namespace {

// The platform's limit on one formatted string, terminator included.
constexpr int kMaxOutput = 1024;

class Output {
  public:
    explicit Output(LPWSTR out) : out_(out) {}

    void Put(char16_t c) {
        if (length_ < kMaxOutput - 1) {
            out_[length_++] = c;
        }
    }
    void Repeat(char16_t c, int count) {
        for (int i = 0; i < count; ++i) {
            Put(c);
        }
    }
    int Finish() {
        out_[length_] = u'\0';
        return length_;
    }
    int Fail() {
        out_[0] = u'\0';
        return -1;
    }

  private:
    LPWSTR out_;
    int length_ = 0;
};

struct Conversion {
    bool leftAlign = false;
    bool zeroPad = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;
    bool narrow = false;  // h prefix, or %S / %C
};

// Digits of `magnitude` in `base`, most significant first, into `digits`; returns the count.
int DigitsOf(std::uint64_t magnitude, unsigned base, bool upper, char16_t (&digits)[24]) {
    const char* const set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char16_t reversed[24];
    int count = 0;
    do {
        reversed[count++] = static_cast<char16_t>(set[magnitude % base]);
        magnitude /= base;
    } while (magnitude != 0);
    for (int i = 0; i < count; ++i) {
        digits[i] = reversed[count - 1 - i];
    }
    return count;
}

void PutNumber(Output& out, const Conversion& conversion, std::uint64_t magnitude, bool negative,
               unsigned base, bool upper) {
    char16_t digits[24];
    int digitCount = DigitsOf(magnitude, base, upper, digits);
    if (conversion.precision == 0 && magnitude == 0) {
        digitCount = 0;  // an explicit zero precision prints nothing for zero, as in C
    }
    const int precisionZeros =
        conversion.precision > digitCount ? conversion.precision - digitCount : 0;
    std::u16string_view prefix;
    if (negative) {
        prefix = u"-";
    } else if (conversion.alternate && base == 16 && magnitude != 0) {
        prefix = upper ? u"0X" : u"0x";
    }
    const int body = static_cast<int>(prefix.size()) + precisionZeros + digitCount;
    const int padding = conversion.width > body ? conversion.width - body : 0;
    const bool padWithZeros =
        conversion.zeroPad && !conversion.leftAlign && conversion.precision < 0;
    if (!conversion.leftAlign && !padWithZeros) {
        out.Repeat(u' ', padding);
    }
    for (char16_t c : prefix) {
        out.Put(c);
    }
    if (padWithZeros) {
        out.Repeat(u'0', padding);
    }
    out.Repeat(u'0', precisionZeros);
    for (int i = 0; i < digitCount; ++i) {
        out.Put(digits[i]);
    }
    if (conversion.leftAlign) {
        out.Repeat(u' ', padding);
    }
}

template <class Char>
void PutString(Output& out, const Conversion& conversion, const Char* text) {
    static constexpr Char kNull[] = {'(', 'n', 'u', 'l', 'l', ')', 0};
    if (text == nullptr) {
        text = kNull;
    }
    int length = 0;
    while (text[length] != 0 && (conversion.precision < 0 || length < conversion.precision)) {
        ++length;
    }
    const int padding = conversion.width > length ? conversion.width - length : 0;
    if (!conversion.leftAlign) {
        out.Repeat(conversion.zeroPad ? u'0' : u' ', padding);
    }
    for (int i = 0; i < length; ++i) {
        // Narrow strings are taken as Latin-1: each byte is one character.
        out.Put(static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(text[i])));
    }
    if (conversion.leftAlign) {
        out.Repeat(u' ', padding);
    }
}

int ReadNumber(LPCWSTR& p) {
    int value = 0;
    while (*p >= u'0' && *p <= u'9') {
        if (value < kMaxOutput) {
            value = value * 10 + (*p - u'0');
        }
        ++p;
    }
    return value;
}

// The flags, width, precision and size of a conversion; leaves `p` at its type letter.
Conversion ReadConversion(LPCWSTR& p) {
    Conversion conversion;
    for (;; ++p) {
        if (*p == u'-') {
            conversion.leftAlign = true;
        } else if (*p == u'0') {
            conversion.zeroPad = true;
        } else if (*p == u'#') {
            conversion.alternate = true;
        } else {
            break;
        }
    }
    conversion.width = ReadNumber(p);
    if (*p == u'.') {
        ++p;
        conversion.precision = ReadNumber(p);
    }
    if (*p == u'h') {
        conversion.narrow = true;
        ++p;
    } else if (*p == u'l') {
        ++p;
    }
    return conversion;
}

}  // namespace

int wvsprintfW(LPWSTR out, LPCWSTR format, std::va_list args) {
    if (out == nullptr) {
        return -1;
    }
    Output output(out);
    if (format == nullptr) {
        return output.Fail();
    }
    for (LPCWSTR p = format; *p != u'\0'; ++p) {
        if (*p != u'%') {
            output.Put(*p);
            continue;
        }
        ++p;
        const Conversion conversion = ReadConversion(p);
        switch (*p) {
            case u'%':
                output.Put(u'%');
                break;
            case u'd':
            case u'i': {
                const std::int64_t value = va_arg(args, int);
                PutNumber(output, conversion,
                          static_cast<std::uint64_t>(value < 0 ? -value : value), value < 0, 10,
                          false);
                break;
            }
            case u'u':
                PutNumber(output, conversion, va_arg(args, unsigned int), false, 10, false);
                break;
            case u'x':
            case u'X':
                PutNumber(output, conversion, va_arg(args, unsigned int), false, 16, *p == u'X');
                break;
            case u'c':
            case u'C': {
                const int value = va_arg(args, int);
                const bool narrow = conversion.narrow || *p == u'C';
                output.Put(narrow ? static_cast<char16_t>(static_cast<unsigned char>(value))
                                  : static_cast<char16_t>(value));
                break;
            }
            case u's':
            case u'S':
                if (conversion.narrow || *p == u'S') {
                    PutString(output, conversion, va_arg(args, const char*));
                } else {
                    PutString(output, conversion, va_arg(args, const WCHAR*));
                }
                break;
            default:
                return output.Fail();
        }
    }
    return output.Finish();
}

// The platform's own signature, C variadic arguments and all.
int wsprintfW(LPWSTR out, LPCWSTR format, ...) {  // NOLINT(cert-dcl50-cpp)
    std::va_list args;
    va_start(args, format);
    const int written = wvsprintfW(out, format, args);
    va_end(args);
    return written;
}
