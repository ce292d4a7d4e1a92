// The pre-standard file streams.
#ifndef VALTOR_FSTREAM_H
#define VALTOR_FSTREAM_H
#include "iostream.h"
#include <fstream>
#endif
