// CReadOnlyComboBox: a click opens the list only when the parent agrees.
#include <QAbstractItemView>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include "read_only_combo_box.h"
#include "test_parent.h"

namespace {

class ComboTest : public ::testing::Test {
protected:
    ComboTest() : combo(&parent, 1011) {
        combo.setGeometry(10, 10, 200, 21);
        combo.addItem("MP3 - MPEG Layer-3 Audio");
        combo.addItem("WAV");
        parent.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    ~ComboTest() override { combo.hidePopup(); }
    void press(QEvent::Type type) {
        QMouseEvent event(type, QPointF(20, 10), combo.mapToGlobal(QPointF(20, 10)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&combo, &event);
        QCoreApplication::processEvents();
    }
    bool listOpen() const { return combo.view()->isVisible(); }

    TestParent parent;
    CReadOnlyComboBox combo;
};

TEST_F(ComboTest, ParentThatIgnoresTheRequestKeepsTheListClosed) {
    parent.comboAnswer = TestParent::ComboAnswer::Ignore;
    press(QEvent::MouseButtonPress);
    EXPECT_FALSE(listOpen());
    press(QEvent::MouseButtonDblClick);
    EXPECT_FALSE(listOpen());
    EXPECT_EQ(parent.count(WM_COMBO_CLICK), 2);
}

TEST_F(ComboTest, ParentThatRefusesKeepsTheListClosedOnClickAndDoubleClick) {
    parent.comboAnswer = TestParent::ComboAnswer::Refuse;
    press(QEvent::MouseButtonPress);
    EXPECT_FALSE(listOpen());
    press(QEvent::MouseButtonDblClick);
    EXPECT_FALSE(listOpen());
    // Each click is asked about exactly once.
    EXPECT_EQ(parent.count(WM_COMBO_CLICK), 2);
}

TEST_F(ComboTest, ParentThatAgreesOpensTheList) {
    parent.comboAnswer = TestParent::ComboAnswer::Agree;
    press(QEvent::MouseButtonPress);
    EXPECT_TRUE(listOpen());
    combo.hidePopup();
    EXPECT_FALSE(listOpen());
    press(QEvent::MouseButtonDblClick);
    EXPECT_TRUE(listOpen());
}

TEST_F(ComboTest, EitherParameterIdentifiesTheCombo) {
    press(QEvent::MouseButtonPress);
    ASSERT_EQ(parent.received.size(), 1u);
    EXPECT_EQ(parent.received[0].source, &combo);
    EXPECT_EQ(parent.received[0].controlId, 1011);
}

TEST_F(ComboTest, KeyboardKeepsItsDefaultPath) {
    parent.comboAnswer = TestParent::ComboAnswer::Refuse;
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_EQ(parent.count(WM_COMBO_CLICK), 0);
}

TEST(ComboWithoutParent, ClickIsSwallowed) {
    CReadOnlyComboBox combo(nullptr, 7);
    combo.addItem("one");
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&combo, &event);
    EXPECT_FALSE(combo.view()->isVisible());
}

} // namespace
