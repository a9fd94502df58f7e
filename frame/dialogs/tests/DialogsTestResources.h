#pragma once
// The test dialog of the dialog base's tests.
#define IDD_TEST_DIALOG_BASE 900
#define IDC_TEST_NAME 901
#define IDC_TEST_COUNT 902
#define IDC_TEST_FLAG 903
#define IDC_TEST_INVERTED_FLAG 904
#define IDC_TEST_DEPENDENT 905
