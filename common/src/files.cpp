/* Splitters for backslash paths and the size of a file. */
#include "utilbox.h"

#include <stdio.h>
#include <string.h>

/* A path without a backslash is all file name; one without a dot has an
 * empty extension. */
extern "C" int get_filename(const char *path, char *out)
{
    const char *slash = strrchr(path, '\\');
    const char *name = slash ? slash + 1 : path;
    size_t n = strlen(name);
    memmove(out, name, n + 1);
    return static_cast<int>(n);
}

extern "C" int get_fileext(const char *path, char *out)
{
    const char *dot = strrchr(path, '.');
    const char *ext = dot ? dot + 1 : path + strlen(path);
    size_t n = strlen(ext);
    memmove(out, ext, n + 1);
    return static_cast<int>(n);
}

extern "C" char *get_filename_only(const char *path, char *out)
{
    const char *slash = strrchr(path, '\\');
    const char *name = slash ? slash + 1 : path;
    const char *dot = strchr(name, '.');
    size_t n = dot ? static_cast<size_t>(dot - name) : strlen(name);
    memmove(out, name, n);
    out[n] = '\0';
    return out;
}

extern "C" long get_file_size(const char *path)
{
    FILE *f = fopen(path, "rb");
    if (f == nullptr)
        return -1;
    long size = fseek(f, 0, SEEK_END) == 0 ? ftell(f) : -1;
    fclose(f);
    return size;
}
