/* Draw source arrivals when necessary */
if ( Time % HALF_BUF_SIZE == 0 ) {
  if ( Time == 0 )
    Re_Init_Sources( 0, HALF_BUF_SIZE );
  else
    Re_Init_Sources( HALF_BUF_SIZE, BUF_SIZE );
}

/* Copy present firing count for everybody  */
Y_0[0] = Y_Time_M_1[0];
Y_0[1] = Y_Time_M_1[1];

/* Computing the 2 transition(s) with time scale 1 */
/* Evolution of transition _TR_0 */
Nb_Tokens = 1;
Nb_Tokens += Y_Time_M_5[1];
Y_0[0] = Nb_Tokens;

/* Evolution of transition _TR_1 */
Nb_Tokens = 0;
Nb_Tokens += Y_Time_M_1[0];
Y_0[1] = Nb_Tokens;

/* Increment of the time variables */
Time = ( Time + 1 ) % BUF_SIZE;
Time_M_1 = ( Time + 1023 ) % BUF_SIZE;
Time_M_5 = ( Time + 1019 ) % BUF_SIZE;
Y_0 = Y[ Time ];
Y_Time_M_1 = Y[ Time_M_1 ];
Y_Time_M_5 = Y[ Time_M_5 ];

