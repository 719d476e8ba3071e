#pragma once
#define IDD_CDPL_TEST_MAIN 100
#define IDD_CDPL_TEST_OTHER 101
