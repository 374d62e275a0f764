/* Framed renderings of a byte buffer: hex and ASCII to standard error
 * (display_buffer) or into a text buffer (fprint_buffer), bits into a file
 * (dump_buffer). The hex frames are 45 characters wide, 8 bytes a line and
 * at most 10240 bytes (1280 lines). */
#include "utilbox.h"

#include <stdio.h>
#include <string.h>

namespace {

const int kHexLimit = 10240;
const char kTop[] = "+-------------------------------------------+";
const char kRule[] = "+--------+-------------------------+--------+";

char ascii_of(unsigned char c) { return c >= 0x20 && c <= 0x7E ? static_cast<char>(c) : '.'; }

/* One data line of the hex frames, without its line end: the offset, the
 * line's bytes, blank padding for a short last line, and the ASCII column
 * (blanks after the data). Returns its length (always 45). */
int hex_line(const unsigned char *data, int offset, int count, char *line)
{
    int n = sprintf(line, "|%08x| ", static_cast<unsigned>(offset));
    for (int c = 0; c < 8; c++)
        n += c < count ? sprintf(line + n, "%02x ", data[offset + c]) : sprintf(line + n, "   ");
    line[n++] = '|';
    for (int c = 0; c < 8; c++)
        line[n++] = c < count ? ascii_of(data[offset + c]) : ' ';
    line[n++] = '|';
    line[n] = '\0';
    return n;
}

int hex_count(int len) { return len < 0 ? 0 : len > kHexLimit ? kHexLimit : len; }

} // namespace

extern "C" int display_buffer(const char *title, const void *data, int len)
{
    const unsigned char *bytes = static_cast<const unsigned char *>(data);
    char line[1024];
    fprintf(stderr, "%s\n|%43s|\n%s\n", kTop, title ? title : "", kRule);
    int n = hex_count(len);
    for (int i = 0; i < n; i += 8) {
        hex_line(bytes, i, n - i < 8 ? n - i : 8, line);
        fprintf(stderr, "%s\n", line);
    }
    return fprintf(stderr, "%s\n\n", kRule);
}

/* Every piece sits at a fixed offset: lines follow at a pitch of 47. A title
 * is cut to the 43 columns of its field so the frame stays intact and nothing
 * is written past the documented size. */
extern "C" int fprint_buffer(const char *title, const void *data, int len, char *out)
{
    const unsigned char *bytes = static_cast<const unsigned char *>(data);
    int pos = 0;
    if (title != nullptr) {
        sprintf(out, "%s\r\n", kTop);
        sprintf(out + 47, "|%43.43s|\r\n", title);
        pos = 94;
    }
    pos += sprintf(out + pos, "%s\r\n", kRule);
    int n = hex_count(len);
    for (int i = 0; i < n; i += 8) {
        pos += hex_line(bytes, i, n - i < 8 ? n - i : 8, out + pos);
        pos += sprintf(out + pos, "\r\n");
    }
    pos += sprintf(out + pos, "%s\r\n", kRule);
    return pos;
}

extern "C" int dump_buffer(const char *title, const void *data, int len, const char *path)
{
    const unsigned char *bytes = static_cast<const unsigned char *>(data);
    FILE *f = fopen(path, "w");
    if (f == nullptr)
        return -1;
    fprintf(f, "+----------------------------------------------------------+\n|%58s|\n"
               "+--------+-------------------------------------+-----------+\n",
            title ? title : "");
    for (int i = 0; i < len; i++) {
        int c = i % 4;
        unsigned b = bytes[i];
        if (c == 0)
            fprintf(f, "|%08x| ", static_cast<unsigned>(i));
        fprintf(f, "%d%d%d%d%d%d%d%d ", b >> 7 & 1, b >> 6 & 1, b >> 5 & 1, b >> 4 & 1, b >> 3 & 1, b >> 2 & 1,
                b >> 1 & 1, b & 1);
        fflush(f);
        if (c == 3) {
            fputs("|           |\n", f);
        } else if (i == len - 1) {
            fprintf(f, "%*s|           |\n", 9 * (3 - c), "");
        }
    }
    fputs("+--------+-------------------------------------+-----------+\n", f);
    return fclose(f);
}
