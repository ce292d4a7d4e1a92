// Stand-in: customers of the queueing classes (nothing the programs name).
#ifndef ORV_STANDIN_TAMRICK_CLIENT_HH
#define ORV_STANDIN_TAMRICK_CLIENT_HH
class Tamrick_Client {};
#endif
