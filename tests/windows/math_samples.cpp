// gauge_math_samples OUTPUT: gauge_sin and gauge_fmod over many arguments, every value as its
// 64 bits in hexadecimal. Built natively and for 32-bit Windows; the two outputs must be
// identical, which proves that both builds compute the same bits.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "gauge_math.h"
#include "math_sample_inputs.h"

static void write_bits(FILE* out, double value) {
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    fprintf(out, " %08lx%08lx", (unsigned long)(bits >> 32), (unsigned long)(bits & 0xFFFFFFFFu));
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    FILE* out = fopen(argv[1], "wb");
    if (out == NULL) return 2;
    for_each_sin_sample([&](double x) {
        fputs("sin", out);
        write_bits(out, x);
        write_bits(out, gauge_sin(x));
        fputc('\n', out);
    });
    for_each_fmod_sample([&](double x, double y) {
        fputs("fmod", out);
        write_bits(out, x);
        write_bits(out, y);
        write_bits(out, gauge_fmod(x, y));
        fputc('\n', out);
    });
    return fclose(out) == 0 ? 0 : 1;
}
