/* Draw source arrivals when necessary */
if ( Time % HALF_BUF_SIZE == 0 ) {
  if ( Time == 0 )
    Re_Init_Sources( 0, HALF_BUF_SIZE );
  else
    Re_Init_Sources( HALF_BUF_SIZE, BUF_SIZE );
}

/* Copy present firing count for everybody  */
Y[Time][1] = ( Time>0 ? Y[Time-1][1] : 0 );
Y[Time][2] = ( Time>0 ? Y[Time-1][2] : 0 );
Y[Time][3] = ( Time>0 ? Y[Time-1][3] : 0 );
Y[Time][4] = ( Time>0 ? Y[Time-1][4] : 0 );

/* Computing the 4 transition(s) with time scale 1 */
/* Evolution of transition a */
Nb_Tokens = Avail[1][Time];
Nb_Tokens += ( Time >= 0 ? R_0[Time-0]  : 0 );
/* Computing the number of tokens routed from place 1 () */
for( ; Count_1 < Nb_Tokens; Count_1++ ) {
  U = U_0_1();
  for( j=0; U > P_Proba_1[j]; j++ );
  H_1[ j ]++;
}
Nb_Tokens = H_1[ NB_P1_TO_T1 ];
Y[Time][1] = Nb_Tokens;

/* Evolution of transition b */
Nb_Tokens = Count_1;
Nb_Tokens = H_1[ NB_P1_TO_T2 ];
Y[Time][2] = Nb_Tokens;

/* Evolution of transition _TR_3 */
Nb_Tokens = Avail[2][Time];
Nb_Tokens += ( Time >= 1 ? Y[Time-1][1]  : 0 );
/* Computing the number of tokens routed from place 2 () */
/* Compute enabling degree of transition 3 */
E_Degree = ( I_Marking_2( Time ) / 2  );
if ( E_Degree > 0 ) {
  H_2[ NB_P2_TO_T3 ] += E_Degree * 2;
  Count_2 += E_Degree * 2;
}
Nb_Tokens = H_2[ NB_P2_TO_T3 ];
Nb_Tokens /= 2;
Y[Time][3] = Nb_Tokens;

/* Evolution of transition last */
Tmp_Y = Infinity;
Nb_Tokens = Avail[3][Time];
Nb_Tokens += ( Time >= 2 ? Y[Time-2][2]  : 0 );
Tmp_Y = MIN( Tmp_Y, Nb_Tokens );
Nb_Tokens = Avail[2][Time];
Nb_Tokens += ( Time >= 1 ? Y[Time-1][1]  : 0 );
/* Computing the number of tokens routed from place 2 () */
/* Compute enabling degree of transition 4 */
E_Degree = ( I_Marking_3( Time ) );
E_Degree = MIN( E_Degree, I_Marking_2( Time ) );
if ( E_Degree > 0 ) {
  H_2[ NB_P2_TO_T4 ] += E_Degree;
  Count_2 += E_Degree;
}
Nb_Tokens = H_2[ NB_P2_TO_T4 ];
Tmp_Y = MIN( Tmp_Y, Nb_Tokens );
Y[Time][4] = Tmp_Y;

/* Increment of the time variables */
Time = ( Time + 1 ) % BUF_SIZE;
Time_M_1 = ( Time + 41 ) % BUF_SIZE;
Time_M_2 = ( Time + 40 ) % BUF_SIZE;
Y_0 = Y[ Time ];
Y_Time_M_1 = Y[ Time_M_1 ];
Y_Time_M_2 = Y[ Time_M_2 ];

