// Stand-in: the pre-standard file stream header.
#ifndef ORV_STANDIN_FSTREAM_H
#define ORV_STANDIN_FSTREAM_H
#include <fstream>
#include "iostream.h"
#endif
