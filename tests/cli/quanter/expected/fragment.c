/* pnc_evolution.c */
