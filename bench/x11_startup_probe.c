/* Preloaded into `tarnwick` by bench/x11_startup.sh: notes when the start-up
 * of the full-screen run reaches each stage and, when the program ends,
 * prints them in milliseconds from the process's start:
 *   context   glXCreateContext returned (X connection, window, pixel format)
 *   mip_first the first texture upload began (the lake model is being read)
 *   mip_ms    time spent inside gluBuild2DMipmaps, all textures together
 *   mip_last  the last texture upload ended
 *   clear     the first frame began (its first glClear)
 *   swap      the first frame was presented (glXSwapBuffers returned)
 * Measures; changes nothing. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double startTime, contextAt = -1, mipFirst = -1, mipLast = -1, mipTotal, clearAt = -1, swapAt = -1;
static int mipCount;

static double Now(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

static void Report(void) {
    const char* path = getenv("TARNWICK_STARTUP_REPORT");
    FILE* out = path ? fopen(path, "w") : stderr;
    if (!out) return;
    fprintf(out, "%.1f %.1f %.1f %d %.1f %.1f %.1f\n", contextAt - startTime, mipFirst - startTime, mipTotal,
            mipCount, mipLast - startTime, clearAt - startTime, swapAt - startTime);
    if (out != stderr) fclose(out);
}

__attribute__((constructor)) static void Start(void) {
    startTime = Now();
    atexit(Report);
}

void* glXCreateContext(void* display, void* visual, void* share, int direct) {
    static void* (*real)(void*, void*, void*, int);
    if (!real) real = (void* (*)(void*, void*, void*, int))dlsym(RTLD_NEXT, "glXCreateContext");
    void* context = real(display, visual, share, direct);
    if (contextAt < 0) contextAt = Now();
    return context;
}

int gluBuild2DMipmaps(unsigned target, int components, int width, int height, unsigned format, unsigned type,
                      const void* data) {
    static int (*real)(unsigned, int, int, int, unsigned, unsigned, const void*);
    if (!real) real = (int (*)(unsigned, int, int, int, unsigned, unsigned, const void*))dlsym(RTLD_NEXT, "gluBuild2DMipmaps");
    double t = Now();
    if (mipFirst < 0) mipFirst = t;
    int result = real(target, components, width, height, format, type, data);
    mipLast = Now();
    mipTotal += mipLast - t;
    ++mipCount;
    return result;
}

void glClear(unsigned mask) {
    static void (*real)(unsigned);
    if (!real) real = (void (*)(unsigned))dlsym(RTLD_NEXT, "glClear");
    if (clearAt < 0 && mipLast >= 0) clearAt = Now();
    real(mask);
}

void glXSwapBuffers(void* display, unsigned long drawable) {
    static void (*real)(void*, unsigned long);
    if (!real) real = (void (*)(void*, unsigned long))dlsym(RTLD_NEXT, "glXSwapBuffers");
    real(display, drawable);
    if (swapAt < 0) swapAt = Now();
}
