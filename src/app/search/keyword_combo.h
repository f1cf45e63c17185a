#pragma once
// The keyword box with history, shared by the quick-search bar and the
// condition-search dialog: an editable drop-down whose list is the keyword
// history, most recent first, kept in "Input.dat".
#include <QComboBox>
#include <string>
#include <vector>

class CKeywordComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit CKeywordComboBox(QWidget* parent = nullptr);

    // The history file: program folder + "Input.dat".
    void SetHistoryFolder(const std::string& appDir);
    const std::string& GetHistoryPath() const { return m_strHistoryPath; }
    // At most this many code page 932 bytes can be typed.
    void LimitText(int bytes);

    // Puts the keyword at the top of the list; the edit text stays as it is.
    void AddKeyword(const std::string& text);
    // Appends the file's keywords; false when an existing file cannot be read.
    bool LoadHistory();
    // Writes the whole list; false when the file cannot be written.
    bool SaveHistory() const;
    // The first entry after `startAfter` beginning with the text (ASCII letters
    // without regard to case), wrapping around; -1 when none.
    int FindStringPrefix(int startAfter, const std::string& text) const;

    std::vector<std::string> GetKeywords() const;
    // The text of the edit field, in code page 932.
    std::string GetText() const;

signals:
    // Enter typed in the box, whatever it holds (also a chosen entry longer
    // than the typing limit).
    void enterPressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetKeywords(const std::vector<std::string>& keywords);

    std::string m_strHistoryPath;
};
