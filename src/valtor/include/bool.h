// Boolean constants of the pre-standard headers.
#ifndef VALTOR_BOOL_H
#define VALTOR_BOOL_H
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#endif
