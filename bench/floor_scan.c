/* The floor of counting: what reading exactly the named files costs on this
 * machine. Opens every file of a list (one path a line), reads it whole
 * through one page-aligned buffer and scans its bytes (counts the line
 * feeds), nothing more. With --tail N it reads only the last N bytes of
 * each file, the floor of a reading that needs no more than a file's end.
 *
 *   zorvika-floor [--tail N] LIST
 *
 * Prints the number of files, bytes and line feeds it saw. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

enum { kChunk = 256 * 1024 };

static size_t countFeeds(const unsigned char* p, size_t n)
{
    size_t feeds = 0;
    for (size_t i = 0; i < n; ++i)
        feeds += p[i] == '\n';
    return feeds;
}

int main(int argc, char** argv)
{
    long tail = -1;
    int arg = 1;
    if (arg + 1 < argc && strcmp(argv[arg], "--tail") == 0) {
        tail = atol(argv[arg + 1]);
        arg += 2;
    }
    if (arg >= argc) {
        fprintf(stderr, "usage: zorvika-floor [--tail N] LIST\n");
        return 2;
    }
    FILE* list = fopen(argv[arg], "r");
    if (!list) {
        perror(argv[arg]);
        return 1;
    }
    unsigned char* buffer = NULL;
    if (posix_memalign((void**)&buffer, 4096, kChunk) != 0)
        return 1;
    char* line = NULL;
    size_t lineSize = 0;
    ssize_t len;
    unsigned long files = 0, bytes = 0, feeds = 0, missing = 0;
    while ((len = getline(&line, &lineSize, list)) > 0) {
        if (line[len - 1] == '\n')
            line[--len] = '\0';
        if (len == 0)
            continue;
        const int fd = open(line, O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            ++missing;
            continue;
        }
        ++files;
        if (tail >= 0) {
            struct stat st;
            if (fstat(fd, &st) == 0) {
                const off_t want = st.st_size < tail ? st.st_size : tail;
                const ssize_t r = pread(fd, buffer, (size_t)want, st.st_size - want);
                if (r > 0) {
                    bytes += (unsigned long)r;
                    feeds += countFeeds(buffer, (size_t)r);
                }
            }
        } else {
            ssize_t r;
            while ((r = read(fd, buffer, kChunk)) > 0) {
                bytes += (unsigned long)r;
                feeds += countFeeds(buffer, (size_t)r);
            }
        }
        close(fd);
    }
    printf("%lu files, %lu bytes, %lu line feeds, %lu missing\n", files, bytes, feeds, missing);
    free(line);
    free(buffer);
    fclose(list);
    return missing == 0 ? 0 : 1;
}
