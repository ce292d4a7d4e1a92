/* definition file for external resources */
#include <stdio.h>

#define	A		0

#define	NB_RESOURCES	1

#ifndef RESOURCES
#define RESOURCES

char	*Resource_Name[] = {
	"A",
	NULL };

#include <unistd.h>

int	Access_Code[] = {
	R_OK };

char	*Default_Value[] = {
	"a",
	NULL };

boolean	Is_Essential[] = {
	1 };

#endif
