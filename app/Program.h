// The program's entry and exit, the same for the product and the tests.
#pragma once

int RunProgram();
