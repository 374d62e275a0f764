/* In-place character operations, the marker extractor, hex digits and the
 * wide/narrow conversions. ASCII rules only. */
#include "utilbox.h"

#include <locale.h>
#include <stdlib.h>
#include <string.h>

extern "C" int get_trimstr(const char *src, char start, char end, char *out)
{
    if (src[0] == '\0')
        return -1;
    int count = start == '\0' ? 0 : -1;
    for (const char *p = src; *p; p++) {
        if (start != '\0' && *p == start) {
            count++;
            continue;
        }
        if (count < 0)
            continue;
        *out = *p;
        if (*p == end || *p == '\n') {
            *out = '\0';
            return count;
        }
        out++;
        count++;
    }
    if (count >= 0)
        *out = '\0';
    return count;
}

extern "C" int replace_str(char *text, char find, char replace)
{
    int n = 0;
    for (char *p = text; *p; p++)
        if (*p == find) {
            *p = replace;
            n++;
        }
    return n;
}

extern "C" int get_lastindex(const char *text, char c)
{
    const char *p = c == '\0' ? nullptr : strrchr(text, c);
    return p == nullptr ? -1 : static_cast<int>(p - text);
}

extern "C" int get_firstindex(const char *text, char c)
{
    const char *p = c == '\0' ? nullptr : strchr(text, c);
    return p == nullptr ? 0 : static_cast<int>(p - text);
}

extern "C" int truncate_str(char *text, int index)
{
    text[index] = '\0';
    return 0;
}

extern "C" int str_to_uppercase(char *text)
{
    for (char *p = text; *p; p++)
        if (*p >= 'a' && *p <= 'z')
            *p = static_cast<char>(*p - 32);
    return 0;
}

extern "C" int str_to_lowercase(char *text)
{
    for (char *p = text; *p; p++)
        if (*p >= 'A' && *p <= 'Z')
            *p = static_cast<char>(*p + 32);
    return 0;
}

static int digit_value(char c)
{
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return static_cast<unsigned char>(c - '0');
}

extern "C" int hex_to_digit(const char *two) { return digit_value(two[0]) * 16 + digit_value(two[1]); }

extern "C" int ascii_to_hex(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))
        return digit_value(c);
    return 0;
}

/* The C run-time's default ("C") locale turns each byte into the code unit
 * of the same value and back; the C library here rejects bytes above 0x7F in
 * that locale, so that case is done by hand. */
static bool default_locale()
{
    const char *name = setlocale(LC_CTYPE, nullptr);
    return name == nullptr || strcmp(name, "C") == 0 || strcmp(name, "POSIX") == 0;
}

extern "C" int ascii_to_unicode(wchar_t *out, const char *text, int max)
{
    if (max < 0)
        return -1;
    if (!default_locale())
        return static_cast<int>(mbstowcs(out, text, static_cast<size_t>(max)));
    int n = 0;
    for (; text[n] != '\0' && (out == nullptr || n < max); n++)
        if (out != nullptr)
            out[n] = static_cast<wchar_t>(static_cast<unsigned char>(text[n]));
    if (out != nullptr && n < max)
        out[n] = L'\0';
    return n;
}

extern "C" int unicode_to_ascii(char *out, const wchar_t *text, int max)
{
    if (max < 0)
        return -1;
    if (!default_locale())
        return static_cast<int>(wcstombs(out, text, static_cast<size_t>(max)));
    int n = 0;
    for (; text[n] != L'\0' && (out == nullptr || n < max); n++) {
        if (text[n] < 0 || text[n] > 0xFF)
            return -1;
        if (out != nullptr)
            out[n] = static_cast<char>(text[n]);
    }
    if (out != nullptr && n < max)
        out[n] = '\0';
    return n;
}
