#include <iostream.h>
#include <bool.h>
#include "Kernel.hh"
#include "Runtime.hh"
#include "Switch0.hh"
#include "Switch1.hh"
#include "Reconstructor_Comm_Object.hh"

// global data
Kernel *noyau ;

extern void bootstrap();
extern void main_code(int,char **);
extern void spawn_code();
extern void endstrap();
extern int init_distributed_runtime();
extern int init_distributed_qnlib();
extern int init_distributed_examplelib();

int main (int argc, char**argv) {
	Runtime::init(argc,argv,"file_host.cnf",argv[0]);

	// Initialisation (communication)
	// ==============================
	init_distributed_runtime();
	init_distributed_qnlib();
	init_distributed_examplelib();
	Runtime::memo_comm_object()->store(
				new String("Switch0"),
				&Switch0::init_cstr);
	Runtime::memo_comm_object()->store(
				new String("Switch1"),
				&Switch1::init_cstr);

	// lancement du programme
	// ======================
	if (Runtime::is_main_cluster())   {
		bootstrap();
		main_code(argc,argv);
		endstrap();
	}
	else {
		bootstrap();
		spawn_code();
		endstrap();
	}
}
