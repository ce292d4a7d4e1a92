/* Draw source arrivals when necessary */
if ( Time % HALF_BUF_SIZE == 0 ) {
  if ( Time == 0 )
    Re_Init_Sources( 0, HALF_BUF_SIZE );
  else
    Re_Init_Sources( HALF_BUF_SIZE, BUF_SIZE );
}

/* Copy present firing count for everybody  */
Y[Time][0] = ( Time>0 ? Y[Time-1][0] : 0 );
Y[Time][1] = ( Time>0 ? Y[Time-1][1] : 0 );

/* Computing the 2 transition(s) with time scale 1 */
/* Evolution of transition _TR_0 */
Nb_Tokens = Avail[0][Time];
Nb_Tokens += ( Time >= 5 ? Y[Time-5][1]  : 0 );
Y[Time][0] = Nb_Tokens;

/* Evolution of transition _TR_1 */
Nb_Tokens = Avail[1][Time];
Nb_Tokens += ( Time >= 1 ? Y[Time-1][0]  : 0 );
Y[Time][1] = Nb_Tokens;

/* Increment of the time variables */
Time = ( Time + 1 ) % BUF_SIZE;
Time_M_1 = ( Time + 1023 ) % BUF_SIZE;
Time_M_5 = ( Time + 1019 ) % BUF_SIZE;
Y_0 = Y[ Time ];
Y_Time_M_1 = Y[ Time_M_1 ];
Y_Time_M_5 = Y[ Time_M_5 ];

