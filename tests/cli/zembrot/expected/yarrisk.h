/* definition file for external resources */
#include <stdio.h>

#define	C_COMPILER	0
#define	FENNOCK		1
#define	TMP_DIR		2
#define	TMP_EGL_FILE	3
#define	C_SOURCE_FILE	4
#define	SIM_NAME	5

#define	NB_RESOURCES	6

#ifndef RESOURCES
#define RESOURCES

char	*Resource_Name[] = {
	"C_COMPILER",
	"FENNOCK",
	"TMP_DIR",
	"TMP_EGL_FILE",
	"C_SOURCE_FILE",
	"SIM_NAME",
	NULL };

#include <unistd.h>

int	Access_Code[] = {
	X_OK,
	X_OK,
	W_OK,
	W_OK,
	R_OK,
	W_OK };

char	*Default_Value[] = {
	"gcc",
	"fennock",
	"/tmp",
	"/tmp/yarrisk.egl",
	"@lib/yarrisk/skeletton.c",
	"Yarrisk",
	NULL };

boolean	Is_Essential[] = {
	1,
	1,
	0,
	0,
	1,
	0 };

#endif
