// Stand-in: boolean constants of the pre-standard headers.
#ifndef ORV_STANDIN_BOOL_H
#define ORV_STANDIN_BOOL_H
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#endif
