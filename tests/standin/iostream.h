// Stand-in: the pre-standard stream header.
#ifndef ORV_STANDIN_IOSTREAM_H
#define ORV_STANDIN_IOSTREAM_H
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
using namespace std;
#endif
