#pragma once
#define IDD_BATCH_TEST_MAIN 100
