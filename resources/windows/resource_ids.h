// The numbers of the program's own resources, shared by tambrel.rc and the code that loads them.
#pragma once

// The application icon. The lowest icon number is the one Explorer shows for the file.
#define TAMBREL_IDI_APPLICATION 1
