/* Draw source arrivals when necessary */
if ( Time % HALF_BUF_SIZE == 0 ) {
  if ( Time == 0 )
    Re_Init_Sources( 0, HALF_BUF_SIZE );
  else
    Re_Init_Sources( HALF_BUF_SIZE, BUF_SIZE );
}

/* Copy present firing count for everybody  */
Y_0[1] = Y_Time_M_1[1];
Y_0[2] = Y_Time_M_1[2];
Y_0[3] = Y_Time_M_1[3];
Y_0[4] = Y_Time_M_1[4];

/* Computing the 4 transition(s) with time scale 1 */
/* Evolution of transition a */
Nb_Tokens = 0;
Nb_Tokens += R_0[ Time ];
/* Computing the number of tokens routed from place 1 () */
for( ; Count_1 < Nb_Tokens; Count_1++ ) {
  U = U_0_1();
  for( j=0; U > P_Proba_1[j]; j++ );
  H_1[ j ]++;
}
Nb_Tokens = H_1[ NB_P1_TO_T1 ];
Y_0[1] = Nb_Tokens;

/* Evolution of transition b */
Nb_Tokens = Count_1;
Nb_Tokens = H_1[ NB_P1_TO_T2 ];
Y_0[2] = Nb_Tokens;

/* Evolution of transition _TR_3 */
Nb_Tokens = 0;
Nb_Tokens += Y_Time_M_1[1];
/* Computing the number of tokens routed from place 2 () */
/* Compute enabling degree of transition 3 */
E_Degree = ( Marking_2(  ) / 2  );
if ( E_Degree > 0 ) {
  H_2[ NB_P2_TO_T3 ] += E_Degree * 2;
  Count_2 += E_Degree * 2;
}
Nb_Tokens = H_2[ NB_P2_TO_T3 ];
Nb_Tokens /= 2;
Y_0[3] = Nb_Tokens;

/* Evolution of transition last */
Tmp_Y = Infinity;
Nb_Tokens = 1;
Nb_Tokens += Y_Time_M_2[2];
Tmp_Y = MIN( Tmp_Y, Nb_Tokens );
Nb_Tokens = 0;
Nb_Tokens += Y_Time_M_1[1];
/* Computing the number of tokens routed from place 2 () */
/* Compute enabling degree of transition 4 */
E_Degree = ( Marking_3(  ) );
E_Degree = MIN( E_Degree, Marking_2(  ) );
if ( E_Degree > 0 ) {
  H_2[ NB_P2_TO_T4 ] += E_Degree;
  Count_2 += E_Degree;
}
Nb_Tokens = H_2[ NB_P2_TO_T4 ];
Tmp_Y = MIN( Tmp_Y, Nb_Tokens );
Y_0[4] = Tmp_Y;

/* Increment of the time variables */
Time = ( Time + 1 ) % BUF_SIZE;
Time_M_1 = ( Time + 41 ) % BUF_SIZE;
Time_M_2 = ( Time + 40 ) % BUF_SIZE;
Y_0 = Y[ Time ];
Y_Time_M_1 = Y[ Time_M_1 ];
Y_Time_M_2 = Y[ Time_M_2 ];

