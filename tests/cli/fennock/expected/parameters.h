/* Sizes and run of the event graph, written by fennock. */
#define NB_TRANS 2
#define NB_PLACES 2
#define NB_EVENTS 7
#define BUF_SIZE 1024
#define MAX_POP_INIT 2
#define NB_LAGS 2
#define NB_LAW_PARAMS 4
#define WAITING_TIME 1
#define FROM_TRANS 1
#define TO_TRANS 0
