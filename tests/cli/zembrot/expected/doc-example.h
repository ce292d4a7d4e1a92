/* definition file for external resources */
#include <stdio.h>

#define	C_COMPILER	0
#define	TMP_DIR		1
#define	SKELETON	2

#define	NB_RESOURCES	3

#ifndef RESOURCES
#define RESOURCES

char	*Resource_Name[] = {
	"C_COMPILER",
	"TMP_DIR",
	"SKELETON",
	NULL };

#include <unistd.h>

int	Access_Code[] = {
	X_OK,
	W_OK,
	R_OK };

char	*Default_Value[] = {
	"gcc",
	"/tmp",
	"@lib/sim/skeleton.c",
	NULL };

boolean	Is_Essential[] = {
	1,
	0,
	1 };

#endif
