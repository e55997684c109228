#pragma once
// OtherInfo ("Other Information"): the movie's information texts, edited in place in Vars.AVIInfo.

#include <QWidget>

class QLineEdit;
class QListWidget;

namespace kestrova {

class OtherInfo : public QWidget {
    Q_OBJECT
public:
    explicit OtherInfo(QWidget* parent = nullptr);

    QListWidget* InfoItems;
    QLineEdit* TextItems;

private:
    void itemChosen(int index);
};

}  // namespace kestrova
