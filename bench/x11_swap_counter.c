/* Preloaded into `tarnwick` by bench/x11_fps.sh: counts the frames the
 * program presents (glXSwapBuffers) and, when the program ends, prints the
 * time from its start to the first presented frame and the frames per second
 * from then on. With TARNWICK_COUNT_ALLOCATIONS set it also counts the
 * allocations the main thread makes from the first presented frame on (the
 * frame loop's), each put down to the program's own code or to the libraries
 * under it (OpenGL, the driver, X) by the first caller on its stack outside
 * the C and C++ runtimes. Measures; changes nothing. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

typedef void (*SwapProc)(void* display, unsigned long drawable);

static double startTime, firstSwap, lastSwap;
static long swaps;
static int countAllocations;
static long ours, theirs;            /* allocations since the first swap */
static long oursAtLast, theirsAtLast; /* ... up to the last swap */
static uintptr_t programLow, programHigh;
static __thread int inside;

extern void* __libc_malloc(size_t);
extern void* __libc_calloc(size_t, size_t);
extern void* __libc_realloc(void*, size_t);
extern void* __libc_memalign(size_t, size_t);

static double Now(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

static void Report(void) {
    const char* path = getenv("TARNWICK_SWAP_REPORT");
    FILE* out = path ? fopen(path, "w") : stderr;
    if (!out) return;
    double fps = swaps > 1 ? (swaps - 1) / (lastSwap - firstSwap) : 0.0;
    fprintf(out, "frames %ld first_frame_ms %.0f fps %.1f", swaps, swaps ? (firstSwap - startTime) * 1000 : -1.0,
            fps);
    if (countAllocations && swaps > 1)
        fprintf(out, " ours_per_frame %.1f driver_per_frame %.1f", (double)oursAtLast / (swaps - 1),
                (double)theirsAtLast / (swaps - 1));
    fprintf(out, "\n");
    if (out != stderr) fclose(out);
}

/* The program's own code: the segments of the executable, the first object
 * the dynamic linker lists. */
static int FindProgram(struct dl_phdr_info* info, size_t size, void* data) {
    (void)size, (void)data;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)* ph = &info->dlpi_phdr[i];
        if (ph->p_type != PT_LOAD) continue;
        uintptr_t low = info->dlpi_addr + ph->p_vaddr, high = low + ph->p_memsz;
        if (!programLow || low < programLow) programLow = low;
        if (high > programHigh) programHigh = high;
    }
    return 1; /* the first object only */
}

__attribute__((constructor)) static void Start(void) {
    startTime = Now();
    countAllocations = getenv("TARNWICK_COUNT_ALLOCATIONS") != NULL;
    if (countAllocations) {
        dl_iterate_phdr(FindProgram, NULL);
        void* warm[2];
        backtrace(warm, 2); /* loads the unwinder now, not inside an allocation */
    }
    atexit(Report);
}

static int Runtime(const char* name) {
    return strstr(name, "libc.so") || strstr(name, "libstdc++") || strstr(name, "libgcc_s") ||
           strstr(name, "swap_counter");
}

static void Count(void) {
    if (!countAllocations || swaps == 0 || inside || syscall(SYS_gettid) != getpid()) return;
    inside = 1;
    void* frames[24];
    int n = backtrace(frames, 24);
    int mine = 0;
    for (int i = 1; i < n; ++i) {
        uintptr_t a = (uintptr_t)frames[i];
        if (a >= programLow && a < programHigh) {
            mine = 1;
            break;
        }
        Dl_info info;
        if (dladdr(frames[i], &info) && info.dli_fname && Runtime(info.dli_fname)) continue;
        break; /* a library under the program */
    }
    if (mine)
        ++ours;
    else
        ++theirs;
    inside = 0;
}

void* malloc(size_t size) {
    Count();
    return __libc_malloc(size);
}
void* calloc(size_t n, size_t size) {
    Count();
    return __libc_calloc(n, size);
}
void* realloc(void* p, size_t size) {
    Count();
    return __libc_realloc(p, size);
}
void* memalign(size_t alignment, size_t size) {
    Count();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) {
    Count();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) {
    Count();
    void* p = __libc_memalign(alignment, size);
    if (!p) return 12; /* ENOMEM */
    *out = p;
    return 0;
}

void glXSwapBuffers(void* display, unsigned long drawable) {
    static SwapProc real;
    if (!real) real = (SwapProc)dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    lastSwap = Now();
    if (swaps++ == 0) {
        firstSwap = lastSwap;
        ours = theirs = 0;
    }
    oursAtLast = ours, theirsAtLast = theirs;
}
