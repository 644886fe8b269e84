#pragma once
// QUOVEL_KERNEL before a hot per-pixel loop builds it twice, for AVX2 and for any x86-64, and
// lets the loader pick one. Not under the sanitizers: their instrumented resolvers would run
// before the sanitizer's runtime is up.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && \
    !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define QUOVEL_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define QUOVEL_KERNEL
#endif
