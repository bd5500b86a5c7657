// tallyvault: the wizard.
#include "ui/TallyvaultApp.h"

int main(int argc, char** argv) { return tv::RunTallyvault(argc, argv); }
