/* definition file for external resources */
#include <stdio.h>

#define	NAME		0

#define	NB_RESOURCES	1

#ifndef RESOURCES
#define RESOURCES

char	*Resource_Name[] = {
	"NAME",
	NULL };

#include <unistd.h>

int	Access_Code[] = {
	X_OK };

char	*Default_Value[] = {
	"/dddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddd",
	NULL };

boolean	Is_Essential[] = {
	1 };

#endif
