/* Preloaded into `tarnwick` by bench/x11_fps.sh: counts the frames the
 * program presents (glXSwapBuffers) and, when the program ends, prints the
 * time from its start to the first presented frame and the frames per second
 * from then on. Measures; changes nothing. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

typedef void (*SwapProc)(void* display, unsigned long drawable);

static double startTime, firstSwap, lastSwap;
static long swaps;

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
    fprintf(out, "frames %ld first_frame_ms %.0f fps %.1f\n", swaps, swaps ? (firstSwap - startTime) * 1000 : -1.0,
            fps);
    if (out != stderr) fclose(out);
}

__attribute__((constructor)) static void Start(void) {
    startTime = Now();
    atexit(Report);
}

void glXSwapBuffers(void* display, unsigned long drawable) {
    static SwapProc real;
    if (!real) real = (SwapProc)dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    lastSwap = Now();
    if (swaps++ == 0) firstSwap = lastSwap;
}
