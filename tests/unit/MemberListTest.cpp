#include "MemberList.h"

#include "QtPrinting.h"

#include <gtest/gtest.h>

using namespace bank;

TEST(MemberList, TheLetterFollowsTheChosenPartOfTheName) {
    const struct {
        const char* user;
        NameOrder order;
        const char* letter;
    } cases[] = {
        {"Smith, John", NameOrder::FirstName, "J"}, {"Smith, John", NameOrder::LastName, "S"},
        {"Smith, John", NameOrder::All, "A"},       {"smith", NameOrder::All, "A"},
        {" smith", NameOrder::LastName, "S"},       {"Smith,", NameOrder::FirstName, "A"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(memberListLetter(c.user, c.order), c.letter) << c.user;
}

TEST(MemberList, TheAddressKeepsTheBoardAddressUpToItsQuery) {
    EXPECT_EQ(memberListAddress("http://x.proboards.com/index.cgi?board=bank", "J"),
              "http://x.proboards.com/index.cgi?action=members&view=letter&letter=J");
}
