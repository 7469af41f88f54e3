<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>DialogServices</name>
    <message>
        <source>Save as HTML</source>
        <translation>Сохранить в формате HTML</translation>
    </message>
    <message>
        <source>HTML documents (*.html)</source>
        <translation>Документы HTML (*.html)</translation>
    </message>
    <message>
        <source>Cannot launch application.</source>
        <translation>Не удалось запустить приложение.</translation>
    </message>
    <message>
        <source>The address &quot;%1&quot; is opened by the program that handles &quot;%2:&quot; addresses.
Do you want to open it?</source>
        <translation>Адрес &quot;%1&quot; будет открыт программой, которая обрабатывает адреса &quot;%2:&quot;.
Открыть его?</translation>
    </message>
    <message>
        <source>The address &quot;%1&quot; starts with &quot;-&quot; and cannot be passed to another program.</source>
        <translation>Адрес &quot;%1&quot; начинается с &quot;-&quot; и не может быть передан другой программе.</translation>
    </message>
    <message>
        <source>Import Subscriptions</source>
        <translation>Импорт подписок</translation>
    </message>
    <message>
        <source>Export Subscriptions</source>
        <translation>Экспорт подписок</translation>
    </message>
    <message>
        <source>Subscription lists (*.opml *.xml)</source>
        <translation>Списки подписок (*.opml *.xml)</translation>
    </message>
</context>
<context>
    <name>LinkCount</name>
    <message>
        <source>%1 link</source>
        <translation>%1 ссылка</translation>
    </message>
    <message>
        <source>%1 links</source>
        <comment>2 to 4</comment>
        <translation>%1 ссылки</translation>
    </message>
    <message>
        <source>%1 links</source>
        <comment>5 and more</comment>
        <translation>%1 ссылок</translation>
    </message>
    <message>
        <source>en_US</source>
        <comment>locale of the numbers</comment>
        <translation>ru_RU</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>Undo the last action.
Undo</source>
        <translation>Отменить последнее действие.
Отменить</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright.
About</source>
        <translation>Показать сведения о программе, номер версии и авторские права.
О программе</translation>
    </message>
    <message>
        <source>Quit the application.
Exit</source>
        <translation>Завершить работу программы.
Выход</translation>
    </message>
    <message>
        <source>Display items by using large icons.
Large Icons</source>
        <translation>Показать элементы в виде крупных значков.
Крупные значки</translation>
    </message>
    <message>
        <source>Display items by using small icons.
Small Icons</source>
        <translation>Показать элементы в виде мелких значков.
Мелкие значки</translation>
    </message>
    <message>
        <source>Display items in a list.
List</source>
        <translation>Показать элементы списком.
Список</translation>
    </message>
    <message>
        <source>Display detailed information about each item in the window.
Details</source>
        <translation>Показать подробные сведения о каждом элементе окна.
Таблица</translation>
    </message>
    <message>
        <source>&amp;Move...</source>
        <comment>link</comment>
        <translation>Пере&amp;местить...</translation>
    </message>
    <message>
        <source>Lar&amp;ge Icons</source>
        <translation>&amp;Крупные значки</translation>
    </message>
    <message>
        <source>S&amp;mall Icons</source>
        <translation>&amp;Мелкие значки</translation>
    </message>
    <message>
        <source>&amp;List</source>
        <translation>&amp;Список</translation>
    </message>
    <message>
        <source>&amp;Details</source>
        <translation>&amp;Таблица</translation>
    </message>
    <message>
        <source>Arrange &amp;Icons</source>
        <translation>Упорядочить &amp;значки</translation>
    </message>
    <message>
        <source>&amp;Update</source>
        <translation>&amp;Обновить</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Удалить</translation>
    </message>
    <message>
        <source>&amp;Copy Location to Clipboard</source>
        <translation>&amp;Поместить адрес в Буфер обмена</translation>
    </message>
    <message>
        <source>&amp;New Search...</source>
        <translation>&amp;Новый поиск...</translation>
    </message>
    <message>
        <source>&amp;Recent Queries</source>
        <translation>Не&amp;давние запросы</translation>
    </message>
    <message>
        <source>&amp;Save Results as HTML...</source>
        <translation>&amp;Сохранить результаты в HTML...</translation>
    </message>
    <message>
        <source>&amp;Adjust...</source>
        <translation>&amp;Настроить...</translation>
    </message>
    <message>
        <source>&amp;New...</source>
        <translation>&amp;Добавить...</translation>
    </message>
    <message>
        <source>&amp;Update All</source>
        <translation>&amp;Обновить все</translation>
    </message>
    <message>
        <source>&amp;Editor...</source>
        <translation>&amp;Редактор...</translation>
    </message>
    <message>
        <source>&amp;Open Containing Folder</source>
        <translation>Открыть &amp;родительский каталог</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>&amp;Import...</source>
        <translation>&amp;Импорт...</translation>
    </message>
    <message>
        <source>&amp;Export as HTML...</source>
        <translation>&amp;Экспорт в HTML...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>В&amp;ыход</translation>
    </message>
    <message>
        <source>&amp;Data</source>
        <translation>&amp;Данные</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Отменить</translation>
    </message>
    <message>
        <source>&amp;Clear Undo History</source>
        <translation>О&amp;чистить список действий</translation>
    </message>
    <message>
        <source>Restore from &amp;Backup...</source>
        <translation>&amp;Восстановить из резервной копии...</translation>
    </message>
    <message>
        <source>&amp;Reset Usage Information for All</source>
        <translation>&amp;Удалить сведения о посещениях для всех ссылок</translation>
    </message>
    <message>
        <source>A&amp;djust Most Visited Preferences...</source>
        <translation>Н&amp;астроить Самые посещаемые ссылки...</translation>
    </message>
    <message>
        <source>&amp;Adjust Recently Opened Preferences...</source>
        <translation>&amp;Настроить Недавние ссылки...</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Найти</translation>
    </message>
    <message>
        <source>&amp;Delete Recent Queries</source>
        <translation>&amp;Удалить недавние запросы</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Вид</translation>
    </message>
    <message>
        <source>&amp;Drop Window</source>
        <translation>&amp;Окно приема ссылок</translation>
    </message>
    <message>
        <source>&amp;Item Properties Bar</source>
        <translation>&amp;Панель свойств ссылки</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Язык</translation>
    </message>
    <message>
        <source>&amp;English</source>
        <translation>&amp;Английский</translation>
    </message>
    <message>
        <source>&amp;Russian</source>
        <translation>&amp;Русский</translation>
    </message>
    <message>
        <source>&amp;Minimise to Tray</source>
        <translation>C&amp;крывать свернутое окно</translation>
    </message>
    <message>
        <source>&amp;Newsfeeds</source>
        <translation>&amp;Ленты новостей</translation>
    </message>
    <message>
        <source>&amp;Selected Newsfeed</source>
        <translation>&amp;Выбранная лента</translation>
    </message>
    <message>
        <source>Selected &amp;Item</source>
        <translation>Выбранная &amp;запись</translation>
    </message>
    <message>
        <source>&amp;Store</source>
        <translation>&amp;Сохранить</translation>
    </message>
    <message>
        <source>&amp;Copy Address to Clipboard</source>
        <translation>&amp;Поместить адрес в Буфер обмена</translation>
    </message>
    <message>
        <source>&amp;Folder</source>
        <translation>&amp;Каталог</translation>
    </message>
    <message>
        <source>&amp;Move...</source>
        <translation>&amp;Переместить...</translation>
    </message>
    <message>
        <source>E&amp;xport Branch as HTML...</source>
        <translation>Со&amp;хранить как HTML...</translation>
    </message>
    <message>
        <source>&amp;Reset Usage Information</source>
        <translation>Удалить сведения о посе&amp;щениях</translation>
    </message>
    <message>
        <source>&amp;Properties...</source>
        <translation>&amp;Свойства...</translation>
    </message>
    <message>
        <source>&amp;Link</source>
        <translation>&amp;Ссылка</translation>
    </message>
    <message>
        <source>&amp;Open in Default Browser</source>
        <translation>&amp;Открыть в броузере по умолчанию</translation>
    </message>
    <message>
        <source>Open &amp;With...</source>
        <translation>Открыть при &amp;помощи...</translation>
    </message>
    <message>
        <source>&amp;Show Duplicates...</source>
        <translation>По&amp;казать повторы...</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;?</translation>
    </message>
    <message>
        <source>&amp;Show Help Information</source>
        <translation>&amp;Показать файл справки</translation>
    </message>
    <message>
        <source>&amp;About Tagberry...</source>
        <translation>&amp;О программе...</translation>
    </message>
    <message>
        <source>&amp;Open/Hide Tagberry</source>
        <translation>&amp;Открыть/скрыть Tagberry</translation>
    </message>
    <message>
        <source>&amp;Show Drop Window</source>
        <translation>&amp;Показывать окно приема ссылок</translation>
    </message>
    <message>
        <source>&amp;New Link...</source>
        <translation>&amp;Добавить ссылку...</translation>
    </message>
    <message>
        <source>Check &amp;Links...</source>
        <translation>&amp;Проверить ссылки...</translation>
    </message>
    <message>
        <source>Cancel Link Chec&amp;k</source>
        <translation>Прервать про&amp;верку ссылок</translation>
    </message>
    <message>
        <source>Use the New &amp;Address</source>
        <translation>Взять &amp;новый адрес</translation>
    </message>
    <message>
        <source>Open Arc&amp;hived Copy</source>
        <translation>Открыть копию в &amp;архиве</translation>
    </message>
    <message>
        <source>&amp;Import Subscriptions...</source>
        <translation>&amp;Импорт подписок...</translation>
    </message>
    <message>
        <source>E&amp;xport Subscriptions...</source>
        <translation>Э&amp;кспорт подписок...</translation>
    </message>
</context>
<context>
    <name>MoveItems</name>
    <message>
        <source>Group of links</source>
        <translation>Группа ссылок</translation>
    </message>
</context>
<context>
    <name>Strings</name>
    <message>
        <source>Undefined Action</source>
        <translation>Неизвестное действие</translation>
    </message>
    <message>
        <source>No link selected.</source>
        <translation>Ссылка не выбрана.</translation>
    </message>
    <message>
        <source>This folder no longer exists.</source>
        <translation>Этого каталога больше нет.</translation>
    </message>
    <message>
        <source>This link no longer exists.</source>
        <translation>Этой ссылки больше нет.</translation>
    </message>
    <message>
        <source>Cannot read the disk folder &quot;%1&quot;.</source>
        <translation>Не удалось прочитать каталог на диске &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>InitXMLParsing() failed.</source>
        <translation>Сбой InitXMLParsing().</translation>
    </message>
    <message>
        <source>Cannot delete %1.</source>
        <translation>Не удалось удалить %1.</translation>
    </message>
    <message>
        <source>XML parser reports error in the file:
&apos;%1&apos;
at line %2, column %3: &apos;%4&apos;</source>
        <translation>Анализатор XML сообщает об ошибке в файле:
&apos;%1&apos;
в строке %2, позиции %3: &apos;%4&apos;</translation>
    </message>
    <message>
        <source>XML parser reports fatal error in the file:
&apos;%1&apos;
at line %2, column %3: &apos;%4&apos;</source>
        <translation>Анализатор XML сообщает о неустранимой ошибке в файле:
&apos;%1&apos;
в строке %2, позиции %3: &apos;%4&apos;</translation>
    </message>
    <message>
        <source>Newsfeed &apos;%1&apos;: some error occured when creating XML reader. Skipping...</source>
        <translation>Лента новостей &apos;%1&apos;: ошибка при создании средства чтения XML. Лента пропущена.</translation>
    </message>
    <message>
        <source>Newsfeed &apos;%1&apos;: some error occured when parsing XML file. Skipping...</source>
        <translation>Лента новостей &apos;%1&apos;: ошибка при разборе файла XML. Лента пропущена.</translation>
    </message>
    <message>
        <source>the document holds more than %1 MB of text</source>
        <translation>документ содержит больше %1 МБ текста</translation>
    </message>
    <message>
        <source>a field holds more than %1 MB of text</source>
        <translation>поле содержит больше %1 МБ текста</translation>
    </message>
    <message>
        <source>not a feed (HTML page)</source>
        <translation>не лента новостей (страница HTML)</translation>
    </message>
    <message>
        <source>not a feed (the document&apos;s root element is &lt;%1&gt;)</source>
        <translation>не лента новостей (корневой элемент документа — &lt;%1&gt;)</translation>
    </message>
    <message>
        <source>XML error at line %1: %2</source>
        <translation>ошибка XML в строке %1: %2</translation>
    </message>
    <message>
        <source>Cannot read file %1.</source>
        <translation>Не удаётся прочитать файл %1.</translation>
    </message>
    <message>
        <source>the document could not be read</source>
        <translation>документ не удалось прочитать</translation>
    </message>
    <message>
        <source>HTTP status %1; the server asks to wait until %2</source>
        <translation>код HTTP %1; сервер просит подождать до %2</translation>
    </message>
    <message>
        <source>larger than %1 MB</source>
        <translation>больше %1 МБ</translation>
    </message>
    <message>
        <source>timed out</source>
        <translation>время ожидания истекло</translation>
    </message>
    <message>
        <source>empty response</source>
        <translation>пустой ответ</translation>
    </message>
    <message>
        <source>HTTP status %1</source>
        <translation>код HTTP %1</translation>
    </message>
    <message>
        <source>cannot save the download in %1</source>
        <translation>не удаётся сохранить загрузку в %1</translation>
    </message>
    <message>
        <source>not a subscription list (the root element is &lt;%1&gt;)</source>
        <translation>не список подписок (корневой элемент — &lt;%1&gt;)</translation>
    </message>
    <message>
        <source>undo_last_action(): last action undefined.</source>
        <translation>undo_last_action(): последнее действие не определено.</translation>
    </message>
    <message>
        <source>Cannot launch application.</source>
        <translation>Не удалось запустить приложение.</translation>
    </message>
    <message>
        <source>update_visits_counter() failed.</source>
        <translation>Сбой update_visits_counter().</translation>
    </message>
    <message>
        <source>Tagberry 2.0

tagberry


tagberry.Document
tagberry.Document</source>
        <translation>Tagberry 2.0

tagberry


tagberry.Document
tagberry.Document</translation>
    </message>
    <message>
        <source>Now the program needs to be restarted.</source>
        <translation>Теперь программа должна быть перезапущена.</translation>
    </message>
    <message>
        <source>Treat link as recent within, hour(s): %d</source>
        <translation>Считать ссылку недавно посещенной в течение, ч: %d</translation>
    </message>
    <message>
        <source>Most Visited</source>
        <translation>Самые посещаемые</translation>
    </message>
    <message>
        <source>Search Results</source>
        <translation>Итоги поиска</translation>
    </message>
    <message>
        <source>Recently Visited</source>
        <translation>Недавно посещенные</translation>
    </message>
    <message>
        <source>Nothing to save!</source>
        <translation>Нечего сохранять!</translation>
    </message>
    <message>
        <source>Reset visits counter, if a link is inactive during, months: %d</source>
        <translation>Обнулять посещения, если ссылка бездействует в течение, мес.: %d</translation>
    </message>
    <message>
        <source>You cannot add subfolders to a special folder.</source>
        <translation>Нельзя добавлять подкаталоги в специальный каталог.</translation>
    </message>
    <message>
        <source>This folder cannot be deleted.</source>
        <translation>Этот каталог не может быть удален.</translation>
    </message>
    <message>
        <source>Delete folder &apos;%1&apos;?</source>
        <translation>Удалить каталог &apos;%1&apos;?</translation>
    </message>
    <message>
        <source>Sorry, you cannot add links to a root folder. Please, select or create another one.</source>
        <translation>К корневому каталогу ссылки добавлять нельзя. Пожалуйста, выберите или создайте другой каталог.</translation>
    </message>
    <message>
        <source>Nothing to delete!</source>
        <translation>Нечего удалять!</translation>
    </message>
    <message>
        <source>Delete link &apos;%1&apos;?</source>
        <translation>Удалить ссылку &apos;%1&apos;?</translation>
    </message>
    <message>
        <source>Delete these %1 links?</source>
        <translation>Удалить ссылки общим числом %1?</translation>
    </message>
    <message>
        <source>Link title and address could not be empty.</source>
        <translation>Название и адрес ссылки не могут быть пустыми.</translation>
    </message>
    <message>
        <source>Link updated.</source>
        <translation>Ссылка обновлена.</translation>
    </message>
    <message>
        <source>Nothing found for &apos;%1&apos;!</source>
        <translation>По запросу &apos;%1&apos; ничего не найдено!</translation>
    </message>
    <message>
        <source>This link has no duplicates.</source>
        <translation>У этой ссылки нет дубликатов.</translation>
    </message>
    <message>
        <source>Actions deleted from the undo history cannot be cancelled. Do you want to continue?</source>
        <translation>Действия, удаленные из списка отмен, не смогут быть отменены. Продолжить?</translation>
    </message>
    <message>
        <source>Cannot open default browser.</source>
        <translation>Не удалось открыть броузер.</translation>
    </message>
    <message>
        <source>Application name and path cannot be empty.</source>
        <translation>Название и путь приложения не могут быть пустыми.</translation>
    </message>
    <message>
        <source>Couldn&apos;t move folder to itself.</source>
        <translation>Каталог не может быть перемещен сам в себя.</translation>
    </message>
    <message>
        <source>Couldn&apos;t move folder to its descendant.</source>
        <translation>Каталог не может быть перемещен внутрь своего потомка.</translation>
    </message>
    <message>
        <source>You cannot delete all entries in the list at one time!</source>
        <translation>Нельзя удалять все записи в списке дубликатов!</translation>
    </message>
    <message>
        <source>No items selected!</source>
        <translation>Ничего не выбрано!</translation>
    </message>
    <message>
        <source>Do you really want to delete these items?</source>
        <translation>Удалить эти записи?</translation>
    </message>
    <message>
        <source>Application Name</source>
        <translation>Имя приложения</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Путь</translation>
    </message>
    <message>
        <source>Couldn&apos;t open file for writing.</source>
        <translation>Неу удалось открыть файл.</translation>
    </message>
    <message>
        <source>Bookmarks saved.</source>
        <translation>Закладки сохранены.</translation>
    </message>
    <message>
        <source>Search results saved.</source>
        <translation>Итоги поиска сохранены.</translation>
    </message>
    <message>
        <source>Data saved.</source>
        <translation>Данные сохранены.</translation>
    </message>
    <message>
        <source>Duplicate folder names aren&apos;t allowed.</source>
        <translation>Каталог с таким именем уже существует.</translation>
    </message>
    <message>
        <source>Couldn&apos;t get &apos;My Documents&apos; folder location.</source>
        <translation>Не удалось определить местонахождение каталога &apos;Мои документы&apos;.</translation>
    </message>
    <message>
        <source>Log file couldn&apos;t be opened.</source>
        <translation>Не удалось открыть файл журнала.</translation>
    </message>
    <message>
        <source>Couldn&apos;t find location of the Favourites folder.</source>
        <translation>Не удалось определить местонахождение каталога &apos;Избранное&apos;.</translation>
    </message>
    <message>
        <source>No path to the Mozilla bookmarks file.</source>
        <translation>Не указан путь к файлу закладок Mozilla.</translation>
    </message>
    <message>
        <source>No path to the Tagberry 1.x database.</source>
        <translation>Не указан путь к базе данных Tagberry 1.x.</translation>
    </message>
    <message>
        <source>No path to a file.</source>
        <translation>Не указан путь к файлу.</translation>
    </message>
    <message>
        <source>No path to a disk folder.</source>
        <translation>Не указан путь к каталогу на диске.</translation>
    </message>
    <message>
        <source>The Favourites folder will be located automatally.</source>
        <translation>Каталог &apos;Избранное&apos; будет найден автоматически.</translation>
    </message>
    <message>
        <source>Cannot read .dbf file!</source>
        <translation>Не удалось открыть файл .dbf!</translation>
    </message>
    <message>
        <source>Cannot read .dbd file!</source>
        <translation>Не удалось открыть файл .dbd!</translation>
    </message>
    <message>
        <source>Cannot read .dbi file!</source>
        <translation>Не удалось открыть файл .dbi!</translation>
    </message>
    <message>
        <source>Cannot read HTML file!</source>
        <translation>Не удалось открыть файл HTML!</translation>
    </message>
    <message>
        <source>Folder title cannot be empty.</source>
        <translation>Имя каталога не может быть пустым.</translation>
    </message>
    <message>
        <source>Item link and address cannot be empty.</source>
        <translation>Имя и адрес ссылки не могут быть пустыми.</translation>
    </message>
    <message>
        <source>An item with this URL already exists in the database!</source>
        <translation>Запись с таким адресом уже есть в базе данных!</translation>
    </message>
    <message>
        <source>An item with this title already exists in the selected folder!</source>
        <translation>Запись с таким названием уже есть в выбранном каталоге!</translation>
    </message>
    <message>
        <source>SQL engine reports error: %1. Query text follows: %2.</source>
        <translation>Ошибка системы SQL: %1. Текст запроса следует: %2.</translation>
    </message>
    <message>
        <source>Couldn&apos;t create data directory!</source>
        <translation>Не удалось создать каталог с данными!</translation>
    </message>
    <message>
        <source>Undo Move Folder</source>
        <translation>Отменить перемещение каталога</translation>
    </message>
    <message>
        <source>Undo Move Link</source>
        <translation>Отменить перемещение ссылки</translation>
    </message>
    <message>
        <source>Undo Delete Folder</source>
        <translation>Отменить удаление каталога</translation>
    </message>
    <message>
        <source>Undo Delete Link</source>
        <translation>Отменить удаление ссылки</translation>
    </message>
    <message>
        <source>Undo Add Folder</source>
        <translation>Отменить добавление каталога</translation>
    </message>
    <message>
        <source>Undo Add Link</source>
        <translation>Отменить добавление ссылки</translation>
    </message>
    <message>
        <source>Undo Edit Folder</source>
        <translation>Отменить редактирование каталога</translation>
    </message>
    <message>
        <source>Undo Edit Link</source>
        <translation>Отменить редактирование ссылки</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>&amp;Edit Application List...</source>
        <translation>&amp;Редактировать список приложений...</translation>
    </message>
    <message>
        <source>&amp;Clean List</source>
        <translation>&amp;Очистить список</translation>
    </message>
    <message>
        <source>Delete saved queries?</source>
        <translation>Удалить сохраненные запросы?</translation>
    </message>
    <message>
        <source>No saved queries found</source>
        <translation>Нет сохраненных запросов</translation>
    </message>
    <message>
        <source>No applications defined</source>
        <translation>Приложения не определены</translation>
    </message>
    <message>
        <source>Invalid query.</source>
        <translation>Неправильный запрос</translation>
    </message>
    <message>
        <source>Reset usage information for all links?</source>
        <translation>Сбросить сведения о посещениях для всех ссылок?</translation>
    </message>
    <message>
        <source>Open Containing Folder:	%s</source>
        <translation>Открыть родительский каталог:	%s</translation>
    </message>
    <message>
        <source>Select folder...</source>
        <translation>Выберите каталог...</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Адрес:</translation>
    </message>
    <message>
        <source>n/a</source>
        <translation>n/a</translation>
    </message>
    <message>
        <source>Last visit:</source>
        <translation>Последнее посещение:</translation>
    </message>
    <message>
        <source>Total visits:</source>
        <translation>Всего посещений:</translation>
    </message>
    <message>
        <source>Link title</source>
        <translation>Заголовок ссылки</translation>
    </message>
    <message>
        <source>Full folder name</source>
        <translation>Полное имя каталога</translation>
    </message>
    <message>
        <source>Newsfeed&apos;s title and location cannot be empty.</source>
        <translation>Название ленты и ее адрес не могут быть пустыми</translation>
    </message>
    <message>
        <source>Newsfeeds</source>
        <translation>Ленты новостей</translation>
    </message>
    <message>
        <source>Feed title</source>
        <translation>Название ленты</translation>
    </message>
    <message>
        <source>The file holds no bookmarks, so nothing was imported.</source>
        <translation>В файле нет закладок, поэтому ничего не импортировано.</translation>
    </message>
    <message>
        <source>Cannot save to %1: it is not a regular file.</source>
        <translation>Не удалось сохранить в %1: это не обычный файл.</translation>
    </message>
    <message>
        <source>Create new folder.
New folder</source>
        <translation>Создать новый каталог.
Новый каталог</translation>
    </message>
    <message>
        <source>Delete the selected folder.</source>
        <translation>Удалить выбранный каталог.</translation>
    </message>
    <message>
        <source>Delete selected link.</source>
        <translation>Удалить выбранную ссылку.</translation>
    </message>
    <message>
        <source>Import data from other applications.
Import</source>
        <translation>Импорт данных из других приложений.
Импорт</translation>
    </message>
    <message>
        <source>Save database in an HTML file.</source>
        <translation>Экспорт базы данных в формате HTML.</translation>
    </message>
    <message>
        <source>Move selected link to a new location.</source>
        <translation>Переместить выбранную ссылку в другой каталог.</translation>
    </message>
    <message>
        <source>Move the selected folder to a new location.</source>
        <translation>Переместить выбранный каталог в новое место.</translation>
    </message>
    <message>
        <source>Open the folder the item belongs to.</source>
        <translation>Открыть родительский каталог.</translation>
    </message>
    <message>
        <source>Save current folder and its descendants to an HTML file.</source>
        <translation>Сохранить текущий каталог с подкаталогами в файле HTML.</translation>
    </message>
    <message>
        <source>Find link.
Find</source>
        <translation>Найти ссылку.
Найти</translation>
    </message>
    <message>
        <source>Create new link.
New link</source>
        <translation>Создать новую ссылку.
Добавить ссылку</translation>
    </message>
    <message>
        <source>Discard visits counter for the selected link.</source>
        <translation>Сбросить счетчик посещений для выбранной ссылки.</translation>
    </message>
    <message>
        <source>Show items with the same address.</source>
        <translation>Показать ссылки с совпадающим адресом.</translation>
    </message>
    <message>
        <source>Pass current link to the daunch default browser application.</source>
        <translation>Передать выбранную ссылку в основной броузер.</translation>
    </message>
    <message>
        <source>Select apllications to use for browsing.</source>
        <translation>Выбрать приложения для открытия ссылок.</translation>
    </message>
    <message>
        <source>Put the selected link&apos;s address to the Clipboard</source>
        <translation>Скопировать гиперссылку в Буфер обмена</translation>
    </message>
    <message>
        <source>Discard the action list.</source>
        <translation>Очистить список отменяемых действий.</translation>
    </message>
    <message>
        <source>Display the readme file.</source>
        <translation>Показать краткую справку о программе.</translation>
    </message>
    <message>
        <source>Discard visits count for all links.</source>
        <translation>Сбросить счетчики посещений для всех ссылок.</translation>
    </message>
    <message>
        <source>Show or hide the drop window.</source>
        <translation>Показать или скрыть окно приема ссылок.</translation>
    </message>
    <message>
        <source>Tagberry 2.0</source>
        <translation>Tagberry 2.0</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Готов</translation>
    </message>
    <message>
        <source>Cannot open the database file &apos;%1&apos;: %2</source>
        <translation>Не удалось открыть файл базы данных &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Cannot use the database file &apos;%1&apos;: %2</source>
        <translation>Невозможно использовать файл базы данных &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Cannot write the backup &apos;%1&apos;: %2</source>
        <translation>Не удалось записать резервную копию &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Cannot read the backup &apos;%1&apos;: %2</source>
        <translation>Не удалось прочитать резервную копию &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>The backup &apos;%1&apos; is damaged and was not restored: %2</source>
        <translation>Резервная копия &apos;%1&apos; повреждена и не восстановлена: %2</translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; holds no bookmarks of this program and was not restored.</source>
        <translation>Файл &apos;%1&apos; не содержит закладок этой программы и не восстановлен.</translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; is the database in use and cannot be restored over itself.</source>
        <translation>Файл &apos;%1&apos; — это используемая база данных, восстановить ее из нее самой нельзя.</translation>
    </message>
    <message>
        <source>Cannot restore the backup &apos;%1&apos;: %2</source>
        <translation>Не удалось восстановить резервную копию &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>There are no backups yet.</source>
        <translation>Резервных копий пока нет.</translation>
    </message>
    <message>
        <source>Broken Links</source>
        <translation>Нерабочие ссылки</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>в порядке</translation>
    </message>
    <message>
        <source>moved permanently</source>
        <translation>перемещена навсегда</translation>
    </message>
    <message>
        <source>gone</source>
        <translation>удалена</translation>
    </message>
    <message>
        <source>error</source>
        <translation>ошибка</translation>
    </message>
    <message>
        <source>unreachable</source>
        <translation>недоступна</translation>
    </message>
    <message>
        <source>unchecked</source>
        <translation>не проверена</translation>
    </message>
    <message>
        <source>moved</source>
        <translation>перемещена</translation>
    </message>
    <message>
        <source>suspect</source>
        <translation>под подозрением</translation>
    </message>
    <message>
        <source>broken</source>
        <translation>не работает</translation>
    </message>
    <message>
        <source>network unavailable</source>
        <translation>сеть недоступна</translation>
    </message>
    <message>
        <source>Checking links: %v of %m</source>
        <translation>Проверка ссылок: %v из %m</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Прервать</translation>
    </message>
    <message>
        <source>Link check cancelled: %1 of %2 links checked.</source>
        <translation>Проверка ссылок прервана: проверено %1 из %2.</translation>
    </message>
    <message>
        <source>Link check done: %1 links checked, %2 skipped.</source>
        <translation>Проверка ссылок завершена: проверено %1, пропущено %2.</translation>
    </message>
    <message>
        <source>Last check: %1, %2</source>
        <translation>Последняя проверка: %1, %2</translation>
    </message>
    <message>
        <source>There are no http or https links to check.</source>
        <translation>Нет ссылок http или https для проверки.</translation>
    </message>
    <message>
        <source>the whole tree</source>
        <translation>всё дерево</translation>
    </message>
    <message>
        <source>Check %1 links in %2? Links of other kinds are skipped: %3.</source>
        <translation>Проверить ссылки (%1) — %2? Ссылки других видов пропускаются: %3.</translation>
    </message>
    <message>
        <source>No free id is left for a new row; nothing was added.</source>
        <translation>Свободных идентификаторов для новой записи не осталось; ничего не добавлено.</translation>
    </message>
    <message>
        <source>The file &apos;%1&apos; holds the tables of another program; it is left untouched.</source>
        <translation>Файл &apos;%1&apos; содержит таблицы другой программы; он оставлен без изменений.</translation>
    </message>
    <message>
        <source>%1 is not a compressed bookmark backup.</source>
        <translation>%1 не является сжатой резервной копией закладок.</translation>
    </message>
    <message>
        <source>The bookmark backup %1 declares %2 bytes, more than the %3 MB that are read.</source>
        <translation>Резервная копия закладок %1 заявляет размер %2 байт, больше читаемых %3 МБ.</translation>
    </message>
    <message>
        <source>The bookmark backup %1 is cut short or damaged.</source>
        <translation>Резервная копия закладок %1 обрезана или повреждена.</translation>
    </message>
    <message>
        <source>The bookmark file %1 is not valid JSON (at byte %2).</source>
        <translation>Файл закладок %1 не является корректным JSON (байт %2).</translation>
    </message>
    <message>
        <source>The bookmark file %1 has a value of an unexpected type at %2.</source>
        <translation>В файле закладок %1 значение неожиданного типа в %2.</translation>
    </message>
    <message>
        <source>The browser database %1 is locked. Close the browser and try again.</source>
        <translation>База данных браузера %1 заблокирована. Закройте браузер и повторите попытку.</translation>
    </message>
    <message>
        <source>The browser database %1 cannot be read: %2</source>
        <translation>Не удалось прочитать базу данных браузера %1: %2</translation>
    </message>
    <message>
        <source>%1 is not a browser bookmark database of a known version.</source>
        <translation>%1 не является базой закладок браузера известной версии.</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Не удалось прочитать %1: %2</translation>
    </message>
    <message>
        <source>Cannot read %1.</source>
        <translation>Не удалось прочитать %1.</translation>
    </message>
    <message>
        <source>%1 is neither a browser&apos;s bookmark database nor a bookmark backup.</source>
        <translation>%1 — не база закладок браузера и не резервная копия закладок.</translation>
    </message>
    <message>
        <source>%1 is larger than the %2 MB that are read.</source>
        <translation>%1 больше читаемых %2 МБ.</translation>
    </message>
    <message>
        <source>No browser bookmarks were found in %1.</source>
        <translation>В %1 не найдены закладки браузера.</translation>
    </message>
    <message>
        <source>the update stopped: %1</source>
        <translation>обновление прервано: %1</translation>
    </message>
    <message>
        <source>The page %1 announces no newsfeed, so nothing was subscribed.</source>
        <translation>Страница %1 не ссылается ни на одну ленту новостей, поэтому подписка не оформлена.</translation>
    </message>
</context>
<context>
    <name>tb::app::AboutDialog</name>
    <message>
        <source>About Tagberry</source>
        <translation>О программе Tagberry</translation>
    </message>
    <message>
        <source>Tagberry Version 2.0.2</source>
        <translation>Tagberry, версия 2.0.2</translation>
    </message>
    <message>
        <source>Quillmont web site</source>
        <translation>Сайт компании Quillmont</translation>
    </message>
    <message>
        <source>Date of build:</source>
        <translation>Дата сборки:</translation>
    </message>
    <message>
        <source>This program uses the following libraries:</source>
        <translation>Программа использует следующие библиотеки:</translation>
    </message>
    <message>
        <source>SQLite library</source>
        <translation>Библиотека SQLite</translation>
    </message>
    <message>
        <source>Xerces-C library</source>
        <translation>Библиотека Xerces-C</translation>
    </message>
    <message>
        <source>Qt</source>
        <translation>Библиотека Qt</translation>
    </message>
    <message>
        <source>Boost</source>
        <translation>Библиотеки Boost</translation>
    </message>
    <message>
        <source>libcurl</source>
        <translation>Библиотека libcurl</translation>
    </message>
</context>
<context>
    <name>tb::app::AddApplicationDialog</name>
    <message>
        <source>Add Application</source>
        <translation>Добавить приложение</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Обзор...</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Название:</translation>
    </message>
    <message>
        <source>&amp;Path:</source>
        <translation>&amp;Путь:</translation>
    </message>
    <message>
        <source>Application name and path cannot contain &apos;;&apos;.</source>
        <translation>Название и путь приложения не могут содержать &apos;;&apos;.</translation>
    </message>
    <message>
        <source>Select Application</source>
        <translation>Выберите приложение</translation>
    </message>
    <message>
        <source>Applications (*.exe)</source>
        <translation>Приложения (*.exe)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Все файлы (*)</translation>
    </message>
</context>
<context>
    <name>tb::app::AddChannelDialog</name>
    <message>
        <source>Add Newsfeed</source>
        <translation>Добавить ленту новостей</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Название:</translation>
    </message>
    <message>
        <source>&amp;Feed location:</source>
        <translation>&amp;Адрес ленты:</translation>
    </message>
</context>
<context>
    <name>tb::app::AdvancedQueryDialog</name>
    <message>
        <source>Advanced Query</source>
        <translation>Сложный запрос</translation>
    </message>
    <message>
        <source>&amp;Query text:</source>
        <translation>&amp;Текст запроса:</translation>
    </message>
    <message>
        <source>Use parentheses to group search terms,
AND and OR to make the search more precise,
e.g.: &apos;(software OR applications) AND (free OR open)&apos;</source>
        <translation>Группируйте слова запроса скобками,
уточняйте поиск операторами AND и OR,
например: &apos;(software OR applications) AND (free OR open)&apos;</translation>
    </message>
</context>
<context>
    <name>tb::app::ApplicationListDialog</name>
    <message>
        <source>Application List</source>
        <translation>Список приложений</translation>
    </message>
    <message>
        <source>&amp;Applications:</source>
        <translation>&amp;Приложения:</translation>
    </message>
    <message>
        <source>&amp;Delete checked</source>
        <translation>&amp;Удалить отмеченные</translation>
    </message>
    <message>
        <source>A&amp;dd new...</source>
        <translation>&amp;Добавить...</translation>
    </message>
</context>
<context>
    <name>tb::app::ChooseFeedDialog</name>
    <message>
        <source>Choose a Newsfeed</source>
        <translation>Выбор ленты новостей</translation>
    </message>
    <message>
        <source>This page announces several newsfeeds. Subscribe to:</source>
        <translation>Эта страница ссылается на несколько лент новостей. Подписаться на:</translation>
    </message>
</context>
<context>
    <name>tb::app::DropWindow</name>
    <message>
        <source>Drop a link or a newsfeed address here</source>
        <translation>Перетащите сюда ссылку или адрес ленты новостей</translation>
    </message>
</context>
<context>
    <name>tb::app::DuplicatesDialog</name>
    <message>
        <source>Duplicate Records</source>
        <translation>Повторяющиеся записи</translation>
    </message>
    <message>
        <source>Title:</source>
        <translation>Название:</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Адрес:</translation>
    </message>
    <message>
        <source>Folder:</source>
        <translation>Каталог:</translation>
    </message>
    <message>
        <source>Found %1 items with this URL in the folllowing folders:</source>
        <translation>Записей с этим адресом: %1. Они находятся в следующих каталогах:</translation>
    </message>
    <message>
        <source>&amp;Delete checked</source>
        <translation>&amp;Удалить отмеченные</translation>
    </message>
</context>
<context>
    <name>tb::app::EditLinkDialog</name>
    <message>
        <source>Edit Link</source>
        <translation>Изменить ссылку</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Название:</translation>
    </message>
    <message>
        <source>&amp;Address:</source>
        <translation>&amp;Адрес:</translation>
    </message>
    <message>
        <source>&amp;Comment:</source>
        <translation>&amp;Комментарий:</translation>
    </message>
</context>
<context>
    <name>tb::app::FeedArea</name>
    <message>
        <source>Download failed: %1</source>
        <translation>Загрузка не удалась: %1</translation>
    </message>
    <message>
        <source>Delete this channel?</source>
        <translation>Удалить эту ленту?</translation>
    </message>
    <message>
        <source>Cannot launch application.</source>
        <translation>Не удалось запустить приложение.</translation>
    </message>
    <message>
        <source>The address &quot;%1&quot; is opened by the program that handles &quot;%2:&quot; addresses.
Do you want to open it?</source>
        <translation>Адрес &quot;%1&quot; будет открыт программой, которая обрабатывает адреса &quot;%2:&quot;.
Открыть его?</translation>
    </message>
    <message>
        <source>Cannot import &apos;%1&apos;: %2.</source>
        <translation>Не удалось импортировать &apos;%1&apos;: %2.</translation>
    </message>
    <message>
        <source>Added 1 newsfeed, skipped %1 already subscribed.</source>
        <translation>Добавлено лент новостей: 1, пропущено уже подписанных: %1.</translation>
    </message>
    <message>
        <source>Added %1 newsfeeds, skipped %2 already subscribed.</source>
        <translation>Добавлено лент новостей: %1, пропущено уже подписанных: %2.</translation>
    </message>
    <message>
        <source>Cannot write &apos;%1&apos;.</source>
        <translation>Не удалось записать &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>Exported 1 newsfeed.</source>
        <translation>Экспортировано лент новостей: 1.</translation>
    </message>
    <message>
        <source>Exported %1 newsfeeds.</source>
        <translation>Экспортировано лент новостей: %1.</translation>
    </message>
    <message>
        <source>Looking for the newsfeed at %1...</source>
        <translation>Поиск ленты новостей по адресу %1...</translation>
    </message>
</context>
<context>
    <name>tb::app::FeedsEditorDialog</name>
    <message>
        <source>Newsfeeds Editor</source>
        <translation>Редактор лент новостей</translation>
    </message>
    <message>
        <source>&amp;Newsfeeds:</source>
        <translation>&amp;Ленты новостей:</translation>
    </message>
    <message>
        <source>&amp;Delete checked</source>
        <translation>&amp;Удалить отмеченные</translation>
    </message>
    <message>
        <source>&amp;Add new...</source>
        <translation>&amp;Добавить...</translation>
    </message>
    <message>
        <source>Update &amp;Frequency...</source>
        <translation>&amp;Частота обновления...</translation>
    </message>
</context>
<context>
    <name>tb::app::FindDialog</name>
    <message>
        <source>Find</source>
        <translation>Поиск</translation>
    </message>
    <message>
        <source>&amp;Search terms:</source>
        <translation>&amp;Слова для поиска:</translation>
    </message>
    <message>
        <source>A&amp;dvanced query...</source>
        <translation>Сло&amp;жный запрос...</translation>
    </message>
    <message>
        <source>A&amp;ll words</source>
        <translation>&amp;Все слова</translation>
    </message>
    <message>
        <source>An&amp;y word</source>
        <translation>&amp;Любое слово</translation>
    </message>
    <message>
        <source>Look in:</source>
        <translation>Искать в:</translation>
    </message>
    <message>
        <source>&amp;titles</source>
        <translation>&amp;названиях</translation>
    </message>
    <message>
        <source>&amp;addresses</source>
        <translation>&amp;адресах</translation>
    </message>
    <message>
        <source>&amp;comments</source>
        <translation>&amp;комментариях</translation>
    </message>
    <message>
        <source>&amp;parent folders&apos; titles</source>
        <translation>&amp;именах родительских каталогов</translation>
    </message>
    <message>
        <source>Folder options</source>
        <translation>Каталоги</translation>
    </message>
    <message>
        <source>search from the &amp;root folder</source>
        <translation>искать от к&amp;орневого каталога</translation>
    </message>
    <message>
        <source>search from the c&amp;urrent folder</source>
        <translation>искать от &amp;текущего каталога</translation>
    </message>
    <message>
        <source>search in the current folder &amp;only</source>
        <translation>искать только в т&amp;екущем каталоге</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>На&amp;йти</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>tb::app::FolderPropertiesDialog</name>
    <message>
        <source>Folder Properties</source>
        <translation>Свойства каталога</translation>
    </message>
    <message>
        <source>&amp;Protect child links</source>
        <translation>&amp;Защитить ссылки каталога</translation>
    </message>
    <message>
        <source>Links of this folder take no part in the visit statistics and the smart folders.</source>
        <translation>Ссылки этого каталога не учитываются в статистике посещений и в особых каталогах.</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Название:</translation>
    </message>
</context>
<context>
    <name>tb::app::FolderTree</name>
    <message>
        <source>Child links are protected</source>
        <translation>Ссылки каталога защищены</translation>
    </message>
</context>
<context>
    <name>tb::app::ImportArea</name>
    <message>
        <source>Importing...</source>
        <translation>Импорт...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Import Data</source>
        <translation>Импорт данных</translation>
    </message>
    <message>
        <source>Imported %1 of %2 items</source>
        <translation>Импортировано записей: %1 из %2</translation>
    </message>
    <message>
        <source>Imported %1 items</source>
        <translation>Импортировано записей: %1</translation>
    </message>
    <message>
        <source>Reading the file...</source>
        <translation>Чтение файла...</translation>
    </message>
    <message>
        <source>%1 new, %2 already present</source>
        <translation>Новых: %1, уже имевшихся: %2</translation>
    </message>
</context>
<context>
    <name>tb::app::ImportDialog</name>
    <message>
        <source>Bookmark files (*.html *.htm)</source>
        <translation>Файлы закладок (*.html *.htm)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Все файлы (*)</translation>
    </message>
    <message>
        <source>Import Data</source>
        <translation>Импорт данных</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Data location:</source>
        <translation>Расположение данных:</translation>
    </message>
    <message>
        <source>&amp;Netscape/Mozilla bookmarks</source>
        <translation>Закладки &amp;Netscape/Mozilla</translation>
    </message>
    <message>
        <source>Internet &amp;Explorer Favourites</source>
        <translation>&amp;Избранное Internet Explorer</translation>
    </message>
    <message>
        <source>&amp;Tagberry 1.x database</source>
        <translation>База данных &amp;Tagberry 1.x</translation>
    </message>
    <message>
        <source>internet &amp;shortcuts from disk (recursively)</source>
        <translation>&amp;ярлыки Интернета с диска (рекурсивно)</translation>
    </message>
    <message>
        <source>web links from an &amp;HTML file</source>
        <translation>ссылки из файла &amp;HTML</translation>
    </message>
    <message>
        <source>&amp;web links from HTML files (recursively)</source>
        <translation>ссы&amp;лки из файлов HTML (рекурсивно)</translation>
    </message>
    <message>
        <source>Ignore e&amp;xisting links</source>
        <translation>&amp;Пропускать существующие ссылки</translation>
    </message>
    <message>
        <source>Ignore &amp;directory structure</source>
        <translation>Не учитывать &amp;структуру каталогов</translation>
    </message>
    <message>
        <source>Rec&amp;ursively</source>
        <translation>&amp;Рекурсивно</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Обзор...</translation>
    </message>
    <message>
        <source>&amp;Proceed</source>
        <translation>&amp;Выполнить</translation>
    </message>
    <message>
        <source>What do you want to import:</source>
        <translation>Что импортировать:</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Параметры:</translation>
    </message>
    <message>
        <source>Data &amp;location:</source>
        <translation>Р&amp;асположение данных:</translation>
    </message>
    <message>
        <source>Tar&amp;get folder name:</source>
        <translation>Имя &amp;каталога назначения:</translation>
    </message>
    <message>
        <source>Mozilla bookmarks (*.html)</source>
        <translation>Закладки Mozilla (*.html)</translation>
    </message>
    <message>
        <source>HTML documents (*.html *.htm)</source>
        <translation>Документы HTML (*.html *.htm)</translation>
    </message>
    <message>
        <source>Web b&amp;rowser profile</source>
        <translation>Профиль веб-&amp;браузера</translation>
    </message>
    <message>
        <source>Update the earlier import of this pr&amp;ofile</source>
        <translation>Обновить прежний импорт этого про&amp;филя</translation>
    </message>
    <message>
        <source>%1 (%2 bookmarks)</source>
        <translation>%1 (закладок: %2)</translation>
    </message>
    <message>
        <source>Browser bookmarks (places.sqlite *.json *.jsonlz4 Bookmarks);;All files (*)</source>
        <translation>Закладки браузера (places.sqlite *.json *.jsonlz4 Bookmarks);;Все файлы (*)</translation>
    </message>
</context>
<context>
    <name>tb::app::LinkListModel</name>
    <message>
        <source>Title</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
</context>
<context>
    <name>tb::app::MainWindow</name>
    <message>
        <source>Toolbar</source>
        <translation>Панель инструментов</translation>
    </message>
    <message>
        <source>Quick search</source>
        <translation>Быстрый поиск</translation>
    </message>
    <message>
        <source>&amp;Quick search:</source>
        <translation>&amp;Быстрый поиск:</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Найти</translation>
    </message>
    <message>
        <source>Complex search...</source>
        <translation>Сложный поиск...</translation>
    </message>
    <message>
        <source>Item Properties</source>
        <translation>Свойства ссылки</translation>
    </message>
    <message>
        <source>Link &amp;title:</source>
        <translation>&amp;Заголовок ссылки:</translation>
    </message>
    <message>
        <source>Link &amp;address:</source>
        <translation>&amp;Адрес ссылки:</translation>
    </message>
    <message>
        <source>Link &amp;commentary:</source>
        <translation>Ко&amp;мментарий:</translation>
    </message>
    <message>
        <source>&amp;Update Link</source>
        <translation>&amp;Обновить ссылку</translation>
    </message>
</context>
<context>
    <name>tb::app::MostVisitedDialog</name>
    <message>
        <source>Most Visited Links Settings</source>
        <translation>Настройка самых посещаемых ссылок</translation>
    </message>
    <message>
        <source>Most visited links are visited more often than the</source>
        <translation>Самые посещаемые ссылки посещаются чаще, чем</translation>
    </message>
    <message>
        <source>m&amp;ean value (mathematical average)</source>
        <translation>&amp;среднее значение (среднее арифметическое)</translation>
    </message>
    <message>
        <source>m&amp;ode (the value that occurs most often)</source>
        <translation>&amp;мода (наиболее частое значение)</translation>
    </message>
    <message>
        <source>me&amp;dian (the middle of a sorted values&apos; range)</source>
        <translation>м&amp;едиана (середина упорядоченного ряда значений)</translation>
    </message>
    <message>
        <source>&amp;Highlight unvisited links by a different colour</source>
        <translation>&amp;Выделять непосещенные ссылки другим цветом</translation>
    </message>
    <message>
        <source>Months</source>
        <translation>Месяцы</translation>
    </message>
    <message>
        <source>&amp;Reset the visits counter if a link hasn&apos;t been visited during, months: %1</source>
        <translation>&amp;Обнулять счетчик посещений, если ссылку не посещали в течение, мес.: %1</translation>
    </message>
</context>
<context>
    <name>tb::app::MoveItemsDialog</name>
    <message>
        <source>Move Items</source>
        <translation>Переместить записи</translation>
    </message>
    <message>
        <source>&amp;Target folder:</source>
        <translation>&amp;Каталог назначения:</translation>
    </message>
    <message>
        <source>&amp;Last targets:</source>
        <translation>&amp;Последние каталоги:</translation>
    </message>
    <message>
        <source>&amp;New folder...</source>
        <translation>&amp;Новый каталог...</translation>
    </message>
    <message>
        <source>Selected object:</source>
        <translation>Выбранный объект:</translation>
    </message>
</context>
<context>
    <name>tb::app::NewFolderDialog</name>
    <message>
        <source>New Folder</source>
        <translation>Новый каталог</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Название:</translation>
    </message>
    <message>
        <source>You may create multiple folders on the same level at once.
To do this, separate folder names with &apos;;&apos;.</source>
        <translation>Можно создать сразу несколько каталогов одного уровня.
Для этого разделите их имена знаком &apos;;&apos;.</translation>
    </message>
</context>
<context>
    <name>tb::app::NewLinkDialog</name>
    <message>
        <source>New Link</source>
        <translation>Новая ссылка</translation>
    </message>
    <message>
        <source>&amp;Select...</source>
        <translation>&amp;Выбрать...</translation>
    </message>
    <message>
        <source>Do not allow &amp;duplicates</source>
        <translation>Не допускать &amp;повторов</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Название:</translation>
    </message>
    <message>
        <source>&amp;Address:</source>
        <translation>&amp;Адрес:</translation>
    </message>
    <message>
        <source>&amp;Comment:</source>
        <translation>&amp;Комментарий:</translation>
    </message>
    <message>
        <source>&amp;Parent folder:</source>
        <translation>&amp;Родительский каталог:</translation>
    </message>
</context>
<context>
    <name>tb::app::RecentLinksDialog</name>
    <message>
        <source>Recenty Opened Links Settings</source>
        <translation>Настройка недавно открытых ссылок</translation>
    </message>
    <message>
        <source>Link monitoring is disabled.</source>
        <translation>Отслеживание ссылок отключено.</translation>
    </message>
</context>
<context>
    <name>tb::app::RestoreBackupDialog</name>
    <message>
        <source>Restore from Backup</source>
        <translation>Восстановление из резервной копии</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Каталоги</translation>
    </message>
    <message>
        <source>Links</source>
        <translation>Ссылки</translation>
    </message>
    <message>
        <source>The current state is kept as one more backup before the chosen one is restored.</source>
        <translation>Перед восстановлением выбранной копии текущее состояние сохраняется как еще одна резервная копия.</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Восстановить</translation>
    </message>
</context>
<context>
    <name>tb::app::SelectFolderDialog</name>
    <message>
        <source>Select Folder</source>
        <translation>Выбор каталога</translation>
    </message>
    <message>
        <source>&amp;Folder:</source>
        <translation>&amp;Каталог:</translation>
    </message>
    <message>
        <source>&amp;New folder...</source>
        <translation>&amp;Новый каталог...</translation>
    </message>
</context>
<context>
    <name>tb::app::UpdateFrequencyDialog</name>
    <message>
        <source>Update Frequency</source>
        <translation>Частота обновления</translation>
    </message>
    <message>
        <source>&amp;Update newsfeeds every (minutes):</source>
        <translation>&amp;Обновлять ленты новостей каждые (минут):</translation>
    </message>
    <message>
        <source>The new period is used from the next start of the program.</source>
        <translation>Новый период начнет действовать при следующем запуске программы.</translation>
    </message>
</context>
</TS>
