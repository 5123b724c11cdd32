-- Contents of ccdb.db, in UTF-8. The generator stores the CacheClean texts as GBK bytes.
-- Masks: "*" any run of characters, "?" one character, "[0-9]" one character of a set; letters
-- match in either case. A mask that matches a folder lists the whole folder, and the scan also
-- looks inside it. Every mask here is checked by the tests against names that programs need, and
-- the build runs `qinglan-cli rules --check` on the generated file. Cache rules stay out of the
-- folders where people keep files and never take videos, music, documents or unfinished downloads.

-- Scan items. Disabled by default (UnScan 1) are the items whose files a user may still want back.
INSERT INTO ccdb (Id, Name, UnScan, Folder, File) VALUES
(1, '日志文件', 0, '', '*.log'),
(2, '按日期或序号轮换下来的旧日志', 0, '', '*.log.[0-9]
*.log.[0-9][0-9]
*.log.prev'),
(3, '文本格式的运行日志', 0, '', 'log.txt
logs.txt
debug.txt
debug_log.txt
errorlog.txt
error_log.txt
trace.txt'),
(4, '游戏引擎输出的运行日志', 0, '', 'output_log.txt'),
(5, '临时文件', 0, '', '*.tmp'),
(6, '其他临时文件', 0, '', '*.temp
*.$$$'),
(7, '文档编辑时留下的锁定文件', 0, '', '~$*'),
(8, '磁盘检查恢复的文件碎片', 0, '', 'FILE[0-9][0-9][0-9][0-9].CHK'),
(9, '程序崩溃时生成的内存转储', 0, '', '*.dmp
*.mdmp
*.hdmp'),
(10, '系统错误报告', 0, '', '*.wer'),
(11, '崩溃报告文件夹', 0, '', 'CrashDumps
CrashReports
Crashes
Crashpad'),
(12, '游戏引擎的崩溃报告文件夹', 0, '', 'Crash_????-??-??_*
UE4CC-*
UECC-*'),
(13, '文件夹缩略图缓存', 0, '', 'Thumbs.db
ehthumbs.db
ehthumbs_vista.db'),
(14, '图标缓存数据库', 0, '', 'IconCache.db
iconcache_*.db'),
(15, '其他系统复制文件时留下的目录信息', 0, '', '.DS_Store
._*'),
(16, '备份文件', 1, '', '*.bak
*.backup'),
(17, '更新后留下的旧版本文件', 1, '', '*.old'),
(18, '打补丁时留下的原文件和失败记录', 0, '', '*.orig
*.rej'),
(19, '未下载完成的文件', 0, '', '*.part
*.partial
*.crdownload
*.download'),
(20, '帮助文件的索引缓存', 0, '', '*.gid
*.fts
*.ftg'),
(21, '安装工具生成的日志', 0, '', '*.InstallLog'),
(22, '安装包解压后残留的临时文件夹', 0, '', '$PLUGINSDIR'),
(23, '事件跟踪日志', 0, '', '*.etl'),
(24, '程序目录下的临时文件夹（Temp）', 0, 'Temp', '*'),
(25, '程序目录下的临时文件夹（tmp）', 0, 'tmp', '*'),
(26, '内置浏览器的网页缓存', 0, '', 'cef_cache
cefcache
webcache
webcache_*
htmlcache
browser_cache'),
(27, '内置浏览器的显卡缓存', 0, '', 'GPUCache
GrShaderCache
DawnCache'),
(28, '内置浏览器的脚本编译缓存', 0, '', 'Code Cache'),
(29, '游戏平台客户端的网页和图片缓存', 0, '', 'httpcache
librarycache'),
(30, '显卡着色器缓存', 0, '', 'D3DSCache
DXCache
GLCache
ShaderCache'),
(31, '游戏引擎的派生数据缓存', 0, '', 'DerivedDataCache'),
(32, '自动更新的下载缓存', 0, 'Update\Download', '*'),
(33, '自动更新前备份的旧文件', 1, 'Update\Backup', '*'),
(34, '启动器的更新临时文件夹', 0, 'Launcher\Temp', '*');

-- Cache folders of other programs on a drive root, video players and network TV first.
INSERT INTO CacheClean (dir, FileName, Des) VALUES
('NetTVCache', '*.tmp
*.dat
*.cache', '网络电视的播放缓存'),
('NetTV\LiveBuffer', '*.tmp', '网络电视直播的时移缓冲'),
('P2PVodCache', '*.blk
*.idx
*.tmp', 'P2P 点播播放器的缓存数据块'),
('VodCache', '*.tmp
*.dat', '影视点播客户端的缓存'),
('VideoCache', '*.tmp
*.cache', '在线视频播放器的缓存'),
('PlayerCache', '*.tmp
*.cache', '本地播放器的预读缓存'),
('OnlineVideo\Cache', '*.tmp
*.dat
*.cache', '在线视频客户端的缓存目录'),
('MediaCache\Thumbnails', '*.jpg
*.png
*.db', '视频播放器的截图和缩略图缓存'),
('DownloadCache', '*.tmp
*.dat', '下载工具的磁盘缓存'),
('TorrentCache\Temp', '*.tmp
*.piece', 'BT 下载的临时分块'),
('BrowserCache', '*', '浏览器放在非系统盘的网页缓存'),
('BrowserData\Cache', '*', '浏览器用户数据中的网页缓存'),
('BrowserData\Code Cache', '*', '浏览器的脚本编译缓存'),
('BrowserData\GPUCache', '*', '浏览器的显卡缓存'),
('MusicCache', '*.tmp
*.cache', '音乐播放器的试听缓存'),
('MusicCache\Lyrics', '*.lrc', '音乐播放器的歌词缓存'),
('MusicCache\Cover', '*.jpg
*.png', '音乐播放器的专辑封面缓存'),
('MusicCache\Temp', '*', '音乐播放器的临时目录'),
('GameBoxCache', '*.tmp
*.cache', '游戏盒子的图片和网页缓存'),
('Temp', '*.tmp
*.temp', '驱动器根目录下临时文件夹中的临时文件');

-- Notes. Px 0: a whole file name; Px 1: an extension with its leading point. A scan item that
-- takes every name in its Folder shows the Px 0 note keyed by that Folder for all it lists.
INSERT INTO Info (KeyName, KeyValue, Px) VALUES
('Temp', '程序目录下的临时文件夹，其中的文件和文件夹都是程序运行、安装或更新时留下的临时内容。删除是安全的；若程序正在运行，请先关闭。', 0),
('tmp', '程序目录下的临时文件夹，其中的文件和文件夹都是程序运行时留下的临时内容。删除是安全的；若程序正在运行，请先关闭。', 0),
('Update\Download', '自动更新下载的安装包和补丁，更新完成后就不再需要。删除是安全的，下次更新时会重新下载。', 0),
('Update\Backup', '自动更新前备份的旧版本文件，只在新版本出问题时用来恢复。确认新版本运行正常后可以删除。', 0),
('Launcher\Temp', '启动器更新时使用的临时文件夹，更新完成后就不再需要。删除是安全的；若启动器正在运行，请先关闭。', 0),
('Thumbs.db', '系统为图片文件夹生成的缩略图缓存。删除是安全的，下次以缩略图方式浏览该文件夹时会重新生成。', 0),
('ehthumbs.db', '媒体中心为视频文件生成的缩略图缓存。删除是安全的，需要时会重新生成。', 0),
('ehthumbs_vista.db', '媒体中心为视频文件生成的缩略图缓存。删除是安全的，需要时会重新生成。', 0),
('IconCache.db', '系统的图标缓存数据库。出现在程序目录里时只是被一起复制过来的缓存，删除是安全的。', 0),
('desktop.ini', '记录文件夹显示方式（图标、名称）的系统文件。删除不影响程序运行，但文件夹可能失去自定义图标或名称。', 0),
('.DS_Store', '其他操作系统复制文件时留下的文件夹显示信息，本机用不到。删除是安全的。', 0),
('output_log.txt', '游戏引擎记录的运行日志，只在排查问题时有用。删除是安全的，下次运行会重新生成。', 0),
('Player.log', '游戏引擎记录的本次运行日志。删除是安全的，下次运行会重新生成。', 0),
('Player-prev.log', '游戏引擎保留的上一次运行日志。删除是安全的。', 0),
('log.txt', '程序记录的运行日志。删除是安全的，程序需要时会重新创建。', 0),
('debug.txt', '程序输出的调试信息，只对开发者排查问题有用。删除是安全的。', 0),
('error.txt', '程序记录的错误信息，只在排查问题时有用。删除是安全的。', 0),
('Resource.ini', '云端资源的配置文件，记录资源的名称、版本和启动方式。请不要删除，删除后该资源将无法使用。', 0),
('0.ico', '云端资源在列表中显示的图标。删除后资源不再显示图标，建议保留。', 0),
('config.ini', '程序的配置文件，保存设置和选项。请不要删除，删除后设置会恢复默认，部分程序无法启动。', 0),
('settings.json', '程序以 JSON 格式保存的设置。请不要删除，删除后设置会恢复默认。', 0),
('unins000.exe', '卸载程序。删除不影响运行，但之后无法正常卸载该软件。', 0),
('unins000.dat', '卸载程序记录的安装清单。删除不影响运行，但之后无法正常卸载该软件。', 0),
('icudtl.dat', '内置浏览器的国际化数据。请不要删除，删除后程序中的网页无法显示或程序无法启动。', 0),
('index', '内置浏览器缓存的索引文件。位于缓存文件夹中时删除是安全的，缓存会重建。', 0),
('data_0', '内置浏览器缓存的数据块。位于缓存文件夹中时删除是安全的，缓存会重建。', 0),
('data_1', '内置浏览器缓存的数据块。位于缓存文件夹中时删除是安全的，缓存会重建。', 0),
('data_2', '内置浏览器缓存的数据块。位于缓存文件夹中时删除是安全的，缓存会重建。', 0),
('data_3', '内置浏览器缓存的数据块。位于缓存文件夹中时删除是安全的，缓存会重建。', 0),
('GPUCache', '内置浏览器保存的显卡缓存文件夹。删除是安全的，下次打开网页时会重建。', 0),
('Code Cache', '内置浏览器保存的脚本编译缓存文件夹。删除是安全的，网页第一次打开会稍慢。', 0),
('ShaderCache', '显卡着色器缓存文件夹。删除是安全的，游戏第一次运行时会重新编译，可能短暂卡顿。', 0),
('D3DSCache', '系统保存的显卡着色器缓存文件夹。删除是安全的，会自动重建。', 0),
('DerivedDataCache', '游戏引擎的派生数据缓存文件夹。删除是安全的，需要时会重新生成，但生成较慢。', 0),
('CrashDumps', '保存崩溃转储的文件夹，只在向开发者报告问题时有用。删除是安全的。', 0),
('Crashes', '游戏引擎保存崩溃报告的文件夹。删除是安全的。', 0),
('$PLUGINSDIR', '安装包解压后残留的临时文件夹，运行程序用不到。删除是安全的。', 0),
('hiberfil.sys', '系统休眠文件，位于系统盘根目录。不要手动删除，应在系统设置中关闭休眠来释放空间。', 0),
('pagefile.sys', '系统虚拟内存文件。不要手动删除，应在系统设置中调整虚拟内存。', 0),
('.log', '日志文件，记录程序运行过程，只在排查问题时有用。删除是安全的。', 1),
('.tmp', '临时文件，程序运行中途生成，正常退出后本应删除。删除是安全的；若程序正在运行，请先关闭。', 1),
('.temp', '临时文件。删除是安全的；若程序正在运行，请先关闭。', 1),
('.$$$', '程序保存文件时生成的临时文件。删除是安全的。', 1),
('.bak', '备份文件，通常是修改前保存的一份副本。程序运行用不到，但其中可能有您还想恢复的内容，确认不需要后再删除。', 1),
('.backup', '备份文件。程序运行用不到，确认其中没有需要恢复的内容后再删除。', 1),
('.old', '更新时保留的旧版本文件。程序运行用不到，确认新版本正常后可以删除。', 1),
('.orig', '打补丁前保留的原文件。程序运行用不到，删除是安全的。', 1),
('.rej', '补丁未能应用的部分的记录。删除是安全的。', 1),
('.dmp', '程序崩溃时生成的内存转储，只在向开发者报告问题时有用。删除是安全的。', 1),
('.mdmp', '程序崩溃时生成的小型内存转储。删除是安全的。', 1),
('.hdmp', '程序崩溃时生成的完整内存转储，通常很大。删除是安全的。', 1),
('.wer', '系统错误报告。删除是安全的。', 1),
('.chk', '磁盘检查时找回的文件碎片，通常无法再使用。确认不需要后删除是安全的。', 1),
('.gid', '帮助文件的索引缓存。删除是安全的，打开帮助时会重建。', 1),
('.fts', '帮助文件的全文搜索索引。删除是安全的，需要时会重建。', 1),
('.ftg', '帮助文件的全文搜索索引。删除是安全的，需要时会重建。', 1),
('.etl', '系统事件跟踪日志。删除是安全的。', 1),
('.installlog', '安装工具生成的日志。删除是安全的。', 1),
('.part', '未下载完成的文件。删除后该下载无法续传，其他不受影响。', 1),
('.partial', '未下载完成的文件。删除后该下载无法续传，其他不受影响。', 1),
('.crdownload', '浏览器未下载完成的文件。删除后该下载无法续传。', 1),
('.download', '未下载完成的文件。删除后该下载无法续传。', 1),
('.exe', '可执行程序。请不要删除，删除后对应的程序无法运行。', 1),
('.dll', '程序运行所需的动态链接库。请不要删除，删除后程序可能无法启动。', 1),
('.sys', '驱动程序或系统文件。请不要删除。', 1),
('.ini', '配置文件，保存程序的设置。请不要删除，删除后设置会丢失，部分程序无法启动。', 1),
('.cfg', '配置文件。请不要删除，删除后设置会恢复默认。', 1),
('.json', '数据或配置文件。请不要删除，程序可能依赖它运行。', 1),
('.xml', '数据或配置文件。请不要删除，程序可能依赖它运行。', 1),
('.pak', '游戏或程序打包的资源文件。请不要删除，删除后程序无法运行。', 1),
('.dat', '程序的数据文件，可能是资源、存档或配置。请不要删除。', 1),
('.sav', '游戏存档。请不要删除，删除后游戏进度会丢失。', 1),
('.ico', '图标文件。删除后程序或资源可能不再显示图标，建议保留。', 1),
('.ttf', '字体文件，程序显示文字时使用。请不要删除。', 1),
('.db', '数据库文件。请确认它属于哪个程序：缩略图缓存可以删除，其他数据库请保留。', 1),
('.lrc', '歌词文件。若位于播放器的缓存目录中，删除是安全的。', 1),
('.ts', '视频流分段文件。若位于播放器的缓存目录中，删除是安全的。', 1),
('.blk', '播放器或下载工具的缓存数据块。位于缓存目录中时删除是安全的。', 1),
('.td', '下载工具未完成的任务文件。删除后该任务无法续传。', 1),
('.cache', '缓存文件。删除是安全的，程序需要时会重新生成。', 1);
