/* definition file for external resources */
#include <stdio.h>

#define	SHORT		0
#define	SEVENCH		1
#define	EIGHTCHR	2

#define	NB_RESOURCES	3

#ifndef RESOURCES
#define RESOURCES

char	*Resource_Name[] = {
	"SHORT",
	"SEVENCH",
	"EIGHTCHR",
	NULL };

#include <unistd.h>

int	Access_Code[] = {
	1,
	W_OK,
	4 };

char	*Default_Value[] = {
	"/bin/sh",
	"@lib/x.c",
	"rel/path",
	NULL };

boolean	Is_Essential[] = {
	0,
	1,
	0 };

#endif
