/* egc_evolution.c */
