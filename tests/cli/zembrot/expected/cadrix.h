/* definition file for external resources */
#include <stdio.h>

#define	TMP_DIR		0
#define	TMP_EGL_FILE	1
#define	TMP_EGL_FILE2	2
#define	TMP_MAT_FILE	3
#define	TMP_RES_FILE	4
#define	TMP_QUORREL_FILE	5
#define	DORMUND		6
#define	DUNVESK		7
#define	UMBRISK		8
#define	QUORREL		9

#define	NB_RESOURCES	10

#ifndef RESOURCES
#define RESOURCES

char	*Resource_Name[] = {
	"TMP_DIR",
	"TMP_EGL_FILE",
	"TMP_EGL_FILE2",
	"TMP_MAT_FILE",
	"TMP_RES_FILE",
	"TMP_QUORREL_FILE",
	"DORMUND",
	"DUNVESK",
	"UMBRISK",
	"QUORREL",
	NULL };

#include <unistd.h>

int	Access_Code[] = {
	W_OK,
	W_OK,
	W_OK,
	W_OK,
	W_OK,
	W_OK,
	X_OK,
	X_OK,
	X_OK,
	X_OK };

char	*Default_Value[] = {
	"/tmp",
	"/tmp/cadrix.egl",
	"/tmp/cadrix2.egl",
	"/tmp/cadrix.mat",
	"/tmp/cadrix.res",
	"/tmp/cadrix.dat",
	"dormund",
	"dunvesk",
	"umbrisk",
	"quorrel",
	NULL };

boolean	Is_Essential[] = {
	0,
	0,
	0,
	0,
	0,
	0,
	1,
	1,
	1,
	1 };

#endif
