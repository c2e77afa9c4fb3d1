#include "app/Form1.h"

int main(int argc, char **argv) { return runApplication(argc, argv); }
