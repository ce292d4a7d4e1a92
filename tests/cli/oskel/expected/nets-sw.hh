//=========================
//  ORV generated code     
//=========================
//============================================================
// File        : sw.hh
// Author      : oskel ORV beta 0.2.2 (15/03/1999)
// Origin      : nets/sw.pnl
<<RE>>// Date        :  [ 0-9]+ [A-Z][a-z]{2} [0-9]{2} at [0-9:]{8}
// Description : A class encapsulating the equational simulation
//               of a Petri Net.
//============================================================

#ifndef sw_H
#define sw_H

#include "EQ_Thing.hh"

const int sw_NB_TRANS = 2;
const int sw_NB_PLACES = 2;
const int sw_NB_MAX_DEPT = 256;
const int sw_BUF_SIZE = 1024;
const int sw_HALF_BUF_SIZE = 512;
const int sw_MAX_DELAY = 1;
#define Infinity	0x7FFFFFFF

#define MIN(x,y)    ( x<y?x:y )


/* external declarations from the Valtor part */
extern bool	Trace;


class sw : public EQ_Thing {

public:
  sw(Time activation=0, Time step=1.0, int stacksize = 0x8000 );
  ~sw();

protected:
    virtual void Init();
    virtual void Arrival(int Num_Class, double Arr_Time);
    virtual void Increment();
    virtual void Increment_Initial();
    virtual void Increment_Regular();
    virtual Routing_Server *Next_Departure();
    virtual void Terminate();
    virtual void Compute_Stat();
    virtual void Report_Stat(ostream &sortie);
    virtual void Report_Trans_Stat(ostream&,int,char*,int,int);

private:
    void Re_Init_Sources( int From, int To );
public:
    int Register_Input(int);
    bool Register_Output(int,Routing_Server*);

protected:
    int	Nb_Input_Pl;
    int	Nb_Input_Tr;
    int	Orig_Nb[2];
    int	*Orig_Table[2];
    int	**Ext_H;
    int	**Ext_Y;
    bool	Is_Input_Trans[2];
    bool	Is_Input_Place[2];
    int Dest_Nb[1];
    Routing_Server **Dest_Table[1];

protected:

  /* table Y of initiated firings				*/
  int     Y[sw_BUF_SIZE][sw_NB_TRANS];
  /* table Z of completed firings				*/
  int     Z[sw_BUF_SIZE][sw_NB_TRANS];
  int     Nb_Tokens;
  // table of initial availabilities
  int	Avail[sw_NB_PLACES][sw_MAX_DELAY];
  // table of firing times
  int	Fire_Time[sw_NB_TRANS];
  // table of source flags
  int	Is_Source[sw_NB_TRANS];
  // table of transition names
  char	*Trans_Name[sw_NB_TRANS];
  // variable for computing enabling degree of transitions
  int	E_Degree;
  // variables for use with the circular buffer
  int	Real_EQ_Time;
  int	EQ_Time;		// The time, modulo the buffer size/
  int	EQ_Time_M_1;	/* Time - 1 */

  int	*Y_0;		/* Y[ EQ_Time ] */
  int	*Y_Time_M_1;	/* Y[ EQ_Time - 1 ] */

  // tables and counts for routing generation
  // Variables for source 0 (in)
  int	Nb_Tok_0;
  int	R_0[ sw_BUF_SIZE ];
  int	T_Phase_0;
};
#endif /* ifndef sw_H */
