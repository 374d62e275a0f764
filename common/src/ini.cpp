/* get_ini_value: one value from an INI-style file. */
#include "utilbox.h"

#include <stdio.h>
#include <string.h>

namespace {

/* Reads one line of at most 511 characters into buf (512 bytes). The rest of
 * a longer line is read and dropped, so it is never taken for a line of its
 * own. A CR before the LF is dropped too, as text mode does on Windows. */
bool read_line(FILE *f, char *buf, int size)
{
    if (fgets(buf, size, f) == nullptr)
        return false;
    size_t len = strlen(buf);
    if (len > 0 && buf[len - 1] != '\n' && !feof(f)) {
        int c;
        while ((c = fgetc(f)) != EOF && c != '\n') {
        }
    }
    if (len >= 2 && buf[len - 2] == '\r' && buf[len - 1] == '\n') {
        buf[len - 2] = '\n';
        buf[len - 1] = '\0';
    }
    return true;
}

bool is_section(const char *line, const char *section)
{
    size_t n = strlen(section);
    return line[0] == '[' && strncmp(line + 1, section, n) == 0 && line[1 + n] == ']';
}

} // namespace

extern "C" int get_ini_value(const char *path, const char *section, const char *key, char strip, char delim,
                             char *out)
{
    FILE *f = fopen(path, "r");
    if (f == nullptr)
        return -1;
    char line[512];
    bool found = false;
    while (!found && read_line(f, line, sizeof line))
        found = is_section(line, section);
    size_t klen = strlen(key);
    while (found && read_line(f, line, sizeof line)) {
        if (line[0] == '[')
            break;
        if (strncmp(line, key, klen) != 0)
            continue;
        size_t len = strlen(line);
        if (len > 0 && line[len - 1] == '\n')
            line[--len] = '\0';
        /* the value follows the key and one separator; a bare key has none */
        const char *value = line + (klen + 1 <= len ? klen + 1 : len);
        if (strip != '\0' && delim != '\0') {
            const char *d = strchr(value, delim);
            if (d != nullptr)
                value = d + 1;
        }
        size_t vlen = strlen(value);
        memmove(out, value, vlen + 1);
        fclose(f);
        return static_cast<int>(vlen);
    }
    fclose(f);
    return 0;
}
