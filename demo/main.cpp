#include "demo.h"

int main(int, char **) { return 0; }
