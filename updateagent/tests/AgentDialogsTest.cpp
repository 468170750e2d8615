// The agent's confirm, check and updater dialogs over the real language library,
// pressed from a helper thread as a user would.
#include "app/TConfirmDownloadDlg.h"
#include "app/TUpdateCheckDlg.h"
#include "app/TUpdaterDlg.h"

#include "support/AgentDialogs.h"

#include <gtest/gtest.h>


TEST(TConfirmDownloadDlg, OkGoesOnAndCancelStops)
{
    LanguageLibrary library;
    ASSERT_NE(library.module, nullptr);
    const struct {
        int command;
        int endCode;
    } cases[] = {{IDOK, 0}, {IDCANCEL, 1}};
    for (const auto& c : cases) {
        TConfirmDownloadDlg dialog;
        dialog.Resource().SetInstance(library.module);
        DialogPresser presser(1042, c.command);
        EXPECT_EQ(dialog.DoModal(TConfirmDownloadDlg::kTemplateId, nullptr), c.endCode) << c.command;
        const FoundDialog& found = presser.Result();
        ASSERT_NE(found.window, nullptr);
        EXPECT_TRUE(found.topmost);
        EXPECT_EQ(found.text, library.Text(1083));
    }
}

TEST(TUpdateCheckDlg, ResultsPickTheirTexts)
{
    const struct {
        unsigned result;
        UINT text;
    } cases[] = {{0, 0}, {1, 1082}, {2, 1073}, {3, 1072}, {4, 1078}, {5, 1075}, {6, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(TUpdateCheckDlg::TextForResult(c.result), c.text) << c.result;
}

TEST(TUpdateCheckDlg, AnAddressThatCannotBeReadEndsWithItsBox)
{
    LanguageLibrary library;
    ASSERT_NE(library.module, nullptr);
    TUpdateCheckDlg dialog;
    dialog.Resource().SetInstance(library.module);
    dialog.SetAddresses(L"not an address", L"not an address either");
    // The dialog itself looks like a box to a general watcher: look for the
    // box's own text control instead.
    DialogPresser box(kBoxTextControl, IDOK);
    EXPECT_EQ(dialog.DoModal(TUpdateCheckDlg::kTemplateId, nullptr), 1);
    ASSERT_NE(box.Result().window, nullptr);
    EXPECT_EQ(box.Result().text, library.Text(1072));
}

TEST(TUpdaterDlg, ResultsPickTheirTexts)
{
    const struct {
        unsigned result;
        UINT text;
    } cases[] = {{0, 0}, {1, 1072}, {2, 1074}, {3, 1078}, {4, 1079}, {5, 1077}, {6, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(TUpdaterDlg::TextForResult(c.result), c.text) << c.result;
}

TEST(TUpdaterDlg, AFailedDownloadEndsWithItsBoxAndStartsNothing)
{
    LanguageLibrary library;
    ASSERT_NE(library.module, nullptr);
    TUpdaterDlg dialog;
    dialog.Resource().SetInstance(library.module);
    dialog.SetProgramInstance(GetModuleHandleW(nullptr));
    // A loopback port where nobody listens.
    dialog.SetMd5Address(L"https://127.0.0.1:9/CorvaneSetup.md5");
    dialog.SetInstallerAddress(L"https://127.0.0.1:9/CorvaneSetup.exe");
    DialogPresser box(kBoxTextControl, IDOK);
    EXPECT_EQ(dialog.DoModal(TUpdaterDlg::kTemplateId, nullptr), 0);
    ASSERT_NE(box.Result().window, nullptr);
    EXPECT_EQ(box.Result().text, library.Text(1078));
}
