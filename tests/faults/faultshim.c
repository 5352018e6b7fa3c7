/* A preloadable library (LD_PRELOAD) that makes one chosen file-system call fail, so that the
 * tests can see what the program does when a disk fills up, a sync fails or a rename is refused.
 *
 * Only calls on paths below one folder count; writes and syncs count only on descriptors that were
 * opened below it. The calls are counted per class:
 *
 *   open    open, open64, openat, openat64 (and their _2 forms) with O_CREAT
 *   write   write
 *   fsync   fsync, fdatasync
 *   rename  rename, renameat, renameat2 (when either name lies below the folder)
 *
 * Environment:
 *   MEROVAN_FAULT_DIR      the folder (absolute, no trailing "/"); without it nothing is counted
 *   MEROVAN_FAULT_CLASS    open | write | fsync | rename: the class whose call fails
 *   MEROVAN_FAULT_NTH      the number (from 1) of the call of that class that fails
 *   MEROVAN_FAULT_ERRNO    the error number it fails with
 *   MEROVAN_FAULT_PARTIAL  for write: when 1, the failing write first stores half of its bytes
 *                          and returns that short count; the next write on that descriptor then
 *                          fails with the error, as on a disk that has just become full
 *   MEROVAN_FAULT_NO_NOREPLACE  when 1, renameat2 with RENAME_NOREPLACE below the folder fails with
 *                          EINVAL, as on a file system that cannot rename that way (ntfs-3g, many
 *                          network shares); the trace gets "noreplace\t0\t<path>" for each
 *   MEROVAN_FAULT_SLOW_FSYNC_MS  a pause (milliseconds) before each sync of a descriptor opened
 *                          below the folder, as on a slow disk; with MEROVAN_FAULT_SLOW_MATCH only
 *                          for paths that contain that text
 *   MEROVAN_FAULT_TRACE    a file (outside the folder) that receives one line per counted call:
 *                          "<class>\t<n>\t<path>[\t<second path>]", and for the injected fault
 *                          "fault\t<class>\t<n>\t<errno>\t<path>"
 *
 * So a run without MEROVAN_FAULT_CLASS says how many calls of each class an operation makes and on
 * which files, and a run per number then fails each of them in turn. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

enum { C_OPEN, C_WRITE, C_FSYNC, C_RENAME, C_COUNT };
static const char* const kClassNames[C_COUNT] = {"open", "write", "fsync", "rename"};

#define MAX_FD 4096

static pthread_once_t g_once = PTHREAD_ONCE_INIT;
static char g_dir[PATH_MAX];
static size_t g_dirLength;
static int g_failClass = -1;
static long g_failNth;
static int g_failErrno = EIO;
static int g_partial;
static int g_noNoreplace;
static long g_slowMs;
static char g_slowMatch[PATH_MAX];
static int g_trace = -1;
static atomic_long g_counts[C_COUNT];

static pthread_mutex_t g_lock = PTHREAD_MUTEX_INITIALIZER;
static char* g_fdPath[MAX_FD];    /* the path of each descriptor opened below the folder */
static int g_fdFailsNext[MAX_FD]; /* a partial write happened: the next write fails */

static int (*real_open)(const char*, int, ...);
static int (*real_open64)(const char*, int, ...);
static int (*real_openat)(int, const char*, int, ...);
static int (*real_openat64)(int, const char*, int, ...);
static int (*real___open_2)(const char*, int);
static int (*real___open64_2)(const char*, int);
static int (*real___openat_2)(int, const char*, int);
static int (*real___openat64_2)(int, const char*, int);
static int (*real_close)(int);
static ssize_t (*real_write)(int, const void*, size_t);
static int (*real_fsync)(int);
static int (*real_fdatasync)(int);
static int (*real_rename)(const char*, const char*);
static int (*real_renameat)(int, const char*, int, const char*);
static int (*real_renameat2)(int, const char*, int, const char*, unsigned int);

/* The next definition of a function (libc's); copied through memcpy because ISO C has no
 * conversion from an object pointer to a function pointer. */
#define RESOLVE(pointer, name)                                                                                         \
    do {                                                                                                               \
        void* found = dlsym(RTLD_NEXT, name);                                                                          \
        memcpy(&(pointer), &found, sizeof(pointer));                                                                   \
    } while (0)

static void setUp(void) {
    RESOLVE(real_open, "open");
    RESOLVE(real_open64, "open64");
    RESOLVE(real_openat, "openat");
    RESOLVE(real_openat64, "openat64");
    RESOLVE(real___open_2, "__open_2");
    RESOLVE(real___open64_2, "__open64_2");
    RESOLVE(real___openat_2, "__openat_2");
    RESOLVE(real___openat64_2, "__openat64_2");
    RESOLVE(real_close, "close");
    RESOLVE(real_write, "write");
    RESOLVE(real_fsync, "fsync");
    RESOLVE(real_fdatasync, "fdatasync");
    RESOLVE(real_rename, "rename");
    RESOLVE(real_renameat, "renameat");
    RESOLVE(real_renameat2, "renameat2");

    const char* dir = getenv("MEROVAN_FAULT_DIR");
    if (dir && dir[0] == '/' && strlen(dir) < sizeof g_dir) {
        strcpy(g_dir, dir);
        g_dirLength = strlen(g_dir);
        while (g_dirLength > 1 && g_dir[g_dirLength - 1] == '/')
            g_dir[--g_dirLength] = '\0';
    }
    const char* cls = getenv("MEROVAN_FAULT_CLASS");
    for (int c = 0; cls && c < C_COUNT; ++c) {
        if (strcmp(cls, kClassNames[c]) == 0)
            g_failClass = c;
    }
    const char* nth = getenv("MEROVAN_FAULT_NTH");
    g_failNth = nth ? strtol(nth, NULL, 10) : 0;
    const char* error = getenv("MEROVAN_FAULT_ERRNO");
    if (error && atoi(error) > 0)
        g_failErrno = atoi(error);
    const char* partial = getenv("MEROVAN_FAULT_PARTIAL");
    g_partial = partial && strcmp(partial, "1") == 0;
    const char* noNoreplace = getenv("MEROVAN_FAULT_NO_NOREPLACE");
    g_noNoreplace = noNoreplace && strcmp(noNoreplace, "1") == 0;
    const char* slow = getenv("MEROVAN_FAULT_SLOW_FSYNC_MS");
    g_slowMs = slow ? strtol(slow, NULL, 10) : 0;
    const char* match = getenv("MEROVAN_FAULT_SLOW_MATCH");
    if (match && strlen(match) < sizeof g_slowMatch)
        strcpy(g_slowMatch, match);
    const char* trace = getenv("MEROVAN_FAULT_TRACE");
    if (trace && real_open)
        g_trace = real_open(trace, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

static void ensureSetUp(void) {
    pthread_once(&g_once, setUp);
}

/* The absolute form of `path` as seen from `dirfd` (AT_FDCWD or a descriptor we know); 0 when
 * it cannot be told. */
static int absolutePath(int dirfd, const char* path, char* out, size_t size) {
    if (!path)
        return 0;
    if (path[0] == '/')
        return snprintf(out, size, "%s", path) < (int)size;
    char base[PATH_MAX];
    if (dirfd == AT_FDCWD) {
        if (!getcwd(base, sizeof base))
            return 0;
    } else {
        int known = 0;
        pthread_mutex_lock(&g_lock);
        if (dirfd >= 0 && dirfd < MAX_FD && g_fdPath[dirfd]) {
            snprintf(base, sizeof base, "%s", g_fdPath[dirfd]);
            known = 1;
        }
        pthread_mutex_unlock(&g_lock);
        if (!known)
            return 0;
    }
    return snprintf(out, size, "%s/%s", base, path) < (int)size;
}

static int isBelow(const char* absolute) {
    if (g_dirLength == 0)
        return 0;
    return strncmp(absolute, g_dir, g_dirLength) == 0 &&
           (absolute[g_dirLength] == '\0' || absolute[g_dirLength] == '/');
}

static void traceLine(const char* line) {
    if (g_trace >= 0 && real_write) {
        const size_t length = strlen(line);
        if (real_write(g_trace, line, length) != (ssize_t)length) {
            /* Nothing sensible to do: the trace is only a help for the test. */
        }
    }
}

/* Counts one call of class `c` on `path` (and `second`); true when this one is to fail. */
static int countCall(int c, const char* path, const char* second) {
    const long n = atomic_fetch_add(&g_counts[c], 1) + 1;
    char line[2 * PATH_MAX + 64];
    snprintf(line, sizeof line, "%s\t%ld\t%s%s%s\n", kClassNames[c], n, path, second ? "\t" : "", second ? second : "");
    traceLine(line);
    if (c != g_failClass || n != g_failNth)
        return 0;
    snprintf(line, sizeof line, "fault\t%s\t%ld\t%d\t%s\n", kClassNames[c], n, g_failErrno, path);
    traceLine(line);
    return 1;
}

static void remember(int fd, const char* absolute) {
    if (fd < 0 || fd >= MAX_FD)
        return;
    pthread_mutex_lock(&g_lock);
    free(g_fdPath[fd]);
    g_fdPath[fd] = absolute ? strdup(absolute) : NULL;
    g_fdFailsNext[fd] = 0;
    pthread_mutex_unlock(&g_lock);
}

/* The path a descriptor was opened with, copied into `out`; 0 for one not opened below the
 * folder. */
static int pathOf(int fd, char* out, size_t size) {
    int known = 0;
    if (fd < 0 || fd >= MAX_FD)
        return 0;
    pthread_mutex_lock(&g_lock);
    if (g_fdPath[fd]) {
        snprintf(out, size, "%s", g_fdPath[fd]);
        known = 1;
    }
    pthread_mutex_unlock(&g_lock);
    return known;
}

/* What every open does around the real call: the fault for creating opens below the folder, and
 * the note of the new descriptor. */
#define OPEN_BODY(dirfd, path, flags, call)                                                                            \
    do {                                                                                                               \
        char absolute[PATH_MAX];                                                                                       \
        const int below = absolutePath((dirfd), (path), absolute, sizeof absolute) && isBelow(absolute);               \
        if (below && ((flags)&O_CREAT) && countCall(C_OPEN, absolute, NULL)) {                                         \
            errno = g_failErrno;                                                                                       \
            return -1;                                                                                                 \
        }                                                                                                              \
        const int fd = (call);                                                                                         \
        if (fd >= 0) {                                                                                                 \
            const int saved = errno;                                                                                   \
            remember(fd, below ? absolute : NULL);                                                                     \
            errno = saved;                                                                                             \
        }                                                                                                              \
        return fd;                                                                                                     \
    } while (0)

static mode_t modeOf(int flags, va_list args) {
    if ((flags & O_CREAT) || (flags & __O_TMPFILE) == __O_TMPFILE)
        return (mode_t)va_arg(args, int);
    return 0;
}

int open(const char* path, int flags, ...) {
    ensureSetUp();
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    OPEN_BODY(AT_FDCWD, path, flags, real_open(path, flags, mode));
}

int open64(const char* path, int flags, ...) {
    ensureSetUp();
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    OPEN_BODY(AT_FDCWD, path, flags, real_open64(path, flags, mode));
}

int openat(int dirfd, const char* path, int flags, ...) {
    ensureSetUp();
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    OPEN_BODY(dirfd, path, flags, real_openat(dirfd, path, flags, mode));
}

int openat64(int dirfd, const char* path, int flags, ...) {
    ensureSetUp();
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    OPEN_BODY(dirfd, path, flags, real_openat64(dirfd, path, flags, mode));
}

int __open_2(const char* path, int flags) {
    ensureSetUp();
    OPEN_BODY(AT_FDCWD, path, flags, real___open_2(path, flags));
}

int __open64_2(const char* path, int flags) {
    ensureSetUp();
    OPEN_BODY(AT_FDCWD, path, flags, real___open64_2(path, flags));
}

int __openat_2(int dirfd, const char* path, int flags) {
    ensureSetUp();
    OPEN_BODY(dirfd, path, flags, real___openat_2(dirfd, path, flags));
}

int __openat64_2(int dirfd, const char* path, int flags) {
    ensureSetUp();
    OPEN_BODY(dirfd, path, flags, real___openat64_2(dirfd, path, flags));
}

int close(int fd) {
    ensureSetUp();
    remember(fd, NULL);
    return real_close(fd);
}

ssize_t write(int fd, const void* data, size_t size) {
    ensureSetUp();
    char path[PATH_MAX];
    if (!pathOf(fd, path, sizeof path))
        return real_write(fd, data, size);
    pthread_mutex_lock(&g_lock);
    const int failsNow = g_fdFailsNext[fd];
    g_fdFailsNext[fd] = 0;
    pthread_mutex_unlock(&g_lock);
    if (failsNow) {
        errno = g_failErrno;
        return -1;
    }
    if (countCall(C_WRITE, path, NULL)) {
        if (g_partial && size / 2 > 0) {
            const ssize_t written = real_write(fd, data, size / 2);
            pthread_mutex_lock(&g_lock);
            g_fdFailsNext[fd] = 1;
            pthread_mutex_unlock(&g_lock);
            return written;
        }
        errno = g_failErrno;
        return -1;
    }
    return real_write(fd, data, size);
}

static int syncCall(int fd, int (*real)(int)) {
    ensureSetUp();
    char path[PATH_MAX];
    const int below = pathOf(fd, path, sizeof path);
    if (below && g_slowMs > 0 && strstr(path, g_slowMatch)) {
        const struct timespec pause = {g_slowMs / 1000, (g_slowMs % 1000) * 1000000L};
        nanosleep(&pause, NULL);
    }
    if (below && countCall(C_FSYNC, path, NULL)) {
        errno = g_failErrno;
        return -1;
    }
    return real(fd);
}

int fsync(int fd) {
    ensureSetUp();
    return syncCall(fd, real_fsync);
}

int fdatasync(int fd) {
    ensureSetUp();
    return syncCall(fd, real_fdatasync);
}

/* The rename fault for two names seen from two folders; true when this rename is to fail. */
static int renameFails(int fromDir, const char* from, int toDir, const char* to) {
    char a[PATH_MAX];
    char b[PATH_MAX];
    const int fromBelow = absolutePath(fromDir, from, a, sizeof a) && isBelow(a);
    const int toBelow = absolutePath(toDir, to, b, sizeof b) && isBelow(b);
    if (!fromBelow && !toBelow)
        return 0;
    return countCall(C_RENAME, fromBelow ? a : from, toBelow ? b : to);
}

int rename(const char* from, const char* to) {
    ensureSetUp();
    if (renameFails(AT_FDCWD, from, AT_FDCWD, to)) {
        errno = g_failErrno;
        return -1;
    }
    return real_rename(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    ensureSetUp();
    if (renameFails(fromDir, from, toDir, to)) {
        errno = g_failErrno;
        return -1;
    }
    return real_renameat(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    ensureSetUp();
    char target[PATH_MAX];
    if (g_noNoreplace && (flags & RENAME_NOREPLACE) && absolutePath(toDir, to, target, sizeof target) &&
        isBelow(target)) {
        char line[PATH_MAX + 32];
        snprintf(line, sizeof line, "noreplace\t0\t%s\n", target);
        traceLine(line);
        errno = EINVAL;
        return -1;
    }
    if (renameFails(fromDir, from, toDir, to)) {
        errno = g_failErrno;
        return -1;
    }
    if (!real_renameat2) {
        errno = ENOSYS;
        return -1;
    }
    return real_renameat2(fromDir, from, toDir, to, flags);
}
