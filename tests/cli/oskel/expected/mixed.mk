include /opt/v/Makefile.head

PROGRAM = sim
ARCH=SUN4
OPTIONS+=-D_SUN4

CC            = g++
LINKER        = $(CC)
 
CFLAGS =
CFLAGS += -I$(RUNTIME_SEQUENTIAL_INCLUDE_DIR)
CFLAGS += -I$(QUEUEING_SEQUENTIAL_INCLUDE_DIR)
CFLAGS += -I$(EXAMPLES_SEQUENTIAL_INCLUDE_DIR) 
CFLAGS += -I$(THREAD_INCLUDE_DIR)/$(ARCH) 
CFLAGS += -I$(STAT_TOOL_LOCAL_CPP_INCLUDE_DIR)
CFLAGS += -I$(STAT_TOOL_LOCAL_C_INCLUDE_DIR)  

EXTLIBS       =
EXTLIBS       += -l$(EXAMPLES_SEQUENTIAL_LIBRARY)
EXTLIBS       += -l$(QUEUEING_SEQUENTIAL_LIBRARY)
EXTLIBS       += -l$(RUNTIME_SEQUENTIAL_LIBRARY)
EXTLIBS       += -l$(THREAD_LIBRARY) 
EXTLIBS       += -l$(STAT_TOOL_LOCAL_CPP_LIBRARY)
EXTLIBS       += -l$(KEMP_LIBRARY)

EXTLIBS       += -l$(TRACE_TOOL_KER_LIBRARY)
EXTLIBS       += -l$(TRACE_TOOL_STD_LIBRARY) 

EXTLIBS       +=  -L$(TRACE_TOOL_LIB_DIR)/$(ARCH)
EXTLIBS       += -L$(LIB_DIR)/$(ARCH)
EXTLIBS       += -L$(STAT_TOOL_LIB_DIR)/$(ARCH)
EXTLIBS       += -L$(KEMP_LIB_DIR)/$(ARCH)

LIBS          = -lm -lg++

MAIN          = main.o
EQ            = EQ_Module.o

EXL = 


$(PROGRAM):   $(MAIN) $(EQ) $(EXL)
	$(LINKER) -o $(PROGRAM) $(MAIN) $(EQ) $(LDFLAGS) $(EXL) $(LIBS) $(EXTLIBS)

main.o:             main.cc 
	$(CC) $(OPTIONS) $(CFLAGS) -c main.cc -o main.o

EQ_Module.o:        EQ_Module.c 
	$(CC) $(OPTIONS) $(CFLAGS) -c EQ_Module.c -o EQ_Module.o

clean:
	/bin/rm  -f $(EXL) $(MAIN) $(EQ)

