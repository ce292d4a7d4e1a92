/* definition file for external resources */
#include <stdio.h>

#define	A		0
#define	B		1
#define	C		2
#define	D		3
#define	E		4
#define	F		5

#define	NB_RESOURCES	6

#ifndef RESOURCES
#define RESOURCES

char	*Resource_Name[] = {
	"A",
	"B",
	"C",
	"D",
	"E",
	"F",
	NULL };

#include <unistd.h>

int	Access_Code[] = {
	X_OK,
	W_OK,
	R_OK,
	F_OK,
	0,
	7 };

char	*Default_Value[] = {
	"a",
	"b",
	"c",
	"d",
	"e",
	"f",
	NULL };

boolean	Is_Essential[] = {
	1,
	0,
	1,
	0,
	0,
	1 };

#endif
