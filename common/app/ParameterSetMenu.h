#pragma once

#include <QObject>
#include <QString>

#include <vector>

class QAction;

namespace gyroapp {

class ParameterWindow;

// Parameter sets a user keeps in files of his own: the right-button menu of the parameter
// window and its keys Ctrl+O and Ctrl+S. A set is a parameter file like the one the program
// starts with; opening one fills the fields in their rows' formats with as many digits as
// each value needs to read back unchanged (a run from an opened set calculates with the very
// values the file holds), saving one writes the fields' values so that they read back the
// same. The program's own file is never written.
class ParameterSetMenu : public QObject {
    Q_OBJECT
public:
    // startupFile is the parameter file the program started with.
    ParameterSetMenu(ParameterWindow& window, QString startupFile);

    // "Открыть набор параметров…": a file chosen by the user into the fields.
    void OpenSet();
    // "Сохранить набор параметров…": the fields into a file chosen by the user.
    void SaveSet();

    // The set in path into the fields; a file that holds no complete set is refused and
    // told, the fields left as they were. True when the fields were filled.
    bool LoadSet(const QString& path);
    // The fields into path. A field that is not a number raises the conversion error and
    // nothing is written; the program's own file and a failed write are told. True when saved.
    bool SaveSetTo(const QString& path);

    QAction* OpenAction = nullptr;
    QAction* SaveAction = nullptr;

private:
    // The fields as the set to write; raises the conversion error of the first field that
    // is not a number, and an error for one beyond the float range.
    std::vector<float> FieldValues() const;
    // Whether path is the program's own file, which is then told.
    bool RefusedAsOwnFile(const QString& path) const;
    // Where the dialogs start: the folder last used, but never the program's own.
    QString StartFolder() const;

    ParameterWindow& window_;
    QString startupFile_;
    QString lastFolder_;
    QString lastName_;
};

// Notices of the parameter sets, for the windows' tests.
QString OwnDataFileMessage(const QString& path);

} // namespace gyroapp
