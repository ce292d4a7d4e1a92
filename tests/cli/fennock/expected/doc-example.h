/* Sizes and run of the event graph, written by fennock. */
#define NB_TRANS 3
#define NB_PLACES 4
#define NB_EVENTS 100
#define BUF_SIZE 1024
#define MAX_POP_INIT 3
#define NB_LAGS 4
#define NB_LAW_PARAMS 8
#define WAITING_TIME 0
#define FROM_TRANS 0
#define TO_TRANS 0
