// The pre-standard stream header. Generated programs also call C functions
// (strcmp, sscanf, exit, log, floor, realloc, ...) without including their
// headers, so they are made visible here.
#ifndef VALTOR_IOSTREAM_H
#define VALTOR_IOSTREAM_H
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <iostream>
using namespace std;
#endif
