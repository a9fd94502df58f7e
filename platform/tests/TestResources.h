// Resource ids of the library's test program.
#pragma once
#define IDR_TESTFRAME 200
#define IDD_TESTDIALOG 201
#define IDC_TESTEDIT 101
#define ID_TEST_COMMAND 40100
