#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/application.h"
#include "core/log.h"
#include "support/app_fixture.h"
#include "support/log_lines.h"
#include "support/memory_window_operations.h"
#include "support/test_folder.h"
#include "support/test_server.h"
#include "transfer/easy_handle.h"

// Transfers against the test server: theApp as the program constructs it,
// a fresh log.txt in a test folder, and the in-memory window.
class CTransferTest : public CApplicationTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Available()) << "run through tests/servers/with_http_server.sh";
        StartTransferLibrary();
        StartOver();
    }

    void TearDown() override
    {
        EndTransferLibrary();
        theLog.Close();
        CApplicationTest::TearDown();
    }

    // A fresh log, window and application, as at a program start; also
    // starts a fresh case inside one test.
    virtual void StartOver()
    {
        RebuildApplication();
        theLog.Close();
        theLog.Open();
        window.statusHistory.clear();
        window.shownMessages.clear();
        window.title.clear();
        window.itemProgress = 0;
        window.DeleteAllNodes();
    }

    CTestFolder folder;
    CMemoryWindowOperations window;
    CTestServer server;
};
