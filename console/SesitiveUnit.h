#pragma once
// "Sensitive Setup": how often the link polls the programmer. OK sets the link timer's
// interval; Cancel changes nothing. The interval is not stored anywhere.
#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

class TSensitiveForm : public QDialog {
  Q_OBJECT

 public:
  explicit TSensitiveForm(QTimer& connectTimer, QWidget* parent = nullptr);

  void FormCreate();
  void TrackBar1Change(int position);
  void BitBtn1Click();

  QGroupBox* GroupBox1;
  QSlider* TrackBar1;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QPushButton* BitBtn1;
  QPushButton* BitBtn2;

 private:
  QTimer& connectTimer_;
};
