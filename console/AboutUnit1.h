#pragma once
// The "About Software." box: the product, its version and the maker; OK closes it.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox1 : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutBox1(QWidget* parent = nullptr);

  QFrame* Panel1;
  QLabel* ProductName;
  QLabel* Version;
  QLabel* Copyright;
  QLabel* Comments;
  QPushButton* OKButton;
};

// Shows the box modally and frees it.
void ShowAboutBox1();
