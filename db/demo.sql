-- Demo company DEMO: a user, the identity-type program, items, bases,
-- parameters and the message texts the framework shows. Every statement can
-- run again on an existing database.

INSERT OR IGNORE INTO ADMCOMPANY VALUES ('DEMO', '示范公司', 'DEMO');
INSERT OR IGNORE INTO ADMGROUP VALUES ('ADMIN', '系统管理');
INSERT OR IGNORE INTO ADMUSER VALUES ('DS', '示范用户', 'ADMIN', '');
INSERT OR IGNORE INTO ADMRIGHT VALUES ('ADMIN', 'ROVI18', '1FF', '');

INSERT OR IGNORE INTO ADMMB VALUES ('ROVI18', '身份类别维护', '', '', '', '', '', '', 'N', 'W', 'Identity types', '', '');
INSERT OR IGNORE INTO ADMMB VALUES ('ROVR18', '身份类别打印', '', '', '', '', '', '', 'N', 'W', 'Identity type report', '', '');

INSERT OR IGNORE INTO PROGCAT VALUES ('ROVI18', 'PALNA', 'NA001', 'PALNB', 'NB001,NB002', 'NB001=NA001', 'qryBody',
  'NB002C=VARCHAR(10)=(SELECT MB002 FROM PALMB WHERE MB001=PALNB.NB002);NB005C=VARCHAR(20)=(SELECT NC002 FROM PALNC WHERE NC001=PALNB.NB005)',
  '', 100);

INSERT OR IGNORE INTO SYSPARAM VALUES ('DEMO', 'SYS001', '1');
INSERT OR IGNORE INTO SYSPARAM VALUES ('DEMO', 'SYS002', '/');
INSERT OR IGNORE INTO SYSPARAM VALUES ('DEMO', 'SYS150', 'Y');
INSERT OR IGNORE INTO SYSPARAM VALUES ('DEMO', 'SYS151', 'N');
INSERT OR IGNORE INTO SYSPARAM VALUES ('DEMO', 'KTC002', 'N');

INSERT OR IGNORE INTO PALMB VALUES ('A001', '伙食津贴', '1', '', 0);
INSERT OR IGNORE INTO PALMB VALUES ('A002', '交通津贴', '1', '', 0);
INSERT OR IGNORE INTO PALMB VALUES ('A003', '全勤奖金', '1', '', 0);
INSERT OR IGNORE INTO PALMB VALUES ('D001', '劳保费', '2', '', 0);
INSERT OR IGNORE INTO PALMB VALUES ('D002', '健保费', '2', '', 0);
INSERT OR IGNORE INTO PALMB VALUES ('D003', '退休金提拨', '2', '', 0);

INSERT OR IGNORE INTO PALNC VALUES ('01', '劳保投保薪资', 0, 0, '0', '', '0', 0);
INSERT OR IGNORE INTO PALNC VALUES ('02', '健保投保薪资', 0, 0, '0', '', '0', 0);
INSERT OR IGNORE INTO PALNC VALUES ('03', '本薪', 0, 0, '2', '', '1', 0);

INSERT OR IGNORE INTO PALNA (NA001, NA002, NA003, CREATOR, COMPANY, USR_GROUP, CREATE_DATE, FLAG)
  VALUES ('01', '正式员工', '', 'DS', 'DEMO', 'ADMIN', '20260101080000000', 0);
INSERT OR IGNORE INTO PALNA (NA001, NA002, NA003, CREATOR, COMPANY, USR_GROUP, CREATE_DATE, FLAG)
  VALUES ('02', '临时员工', '按日计酬', 'DS', 'DEMO', 'ADMIN', '20260101080000000', 0);
INSERT OR IGNORE INTO PALNA (NA001, NA002, NA003, CREATOR, COMPANY, USR_GROUP, CREATE_DATE, FLAG)
  VALUES ('03', '外籍员工', '', 'DS', 'DEMO', 'ADMIN', '20260101080000000', 0);
INSERT OR IGNORE INTO PALNB (NB001, NB002, NB003, NB004, NB005, NB006, NB008, NB007, FLAG)
  VALUES ('01', 'D001', 0.2, 0.7, '01', '0', '0', '', 0);
INSERT OR IGNORE INTO PALNB (NB001, NB002, NB003, NB004, NB005, NB006, NB008, NB007, FLAG)
  VALUES ('01', 'D002', 0.3, 0.6, '02', '0', '0', '', 0);
INSERT OR IGNORE INTO PALNB (NB001, NB002, NB003, NB004, NB005, NB006, NB008, NB007, FLAG)
  VALUES ('01', 'D003', 0, 0.06, '03', '2', '1', '', 0);
INSERT OR IGNORE INTO PALNB (NB001, NB002, NB003, NB004, NB005, NB006, NB008, NB007, FLAG)
  VALUES ('02', 'D001', 0.2, 0.7, '01', '0', '0', '', 0);

INSERT OR IGNORE INTO CMSMF VALUES ('NTD', '新台币', 0, 2);
INSERT OR IGNORE INTO CMSMF VALUES ('RMB', '人民币', 2, 2);

INSERT OR IGNORE INTO PHRASE VALUES ('DS', 'DEMO', '按月计算');
INSERT OR IGNORE INTO PHRASE VALUES ('DS', 'DEMO', '依法提拨');

-- Message texts: type, code, simplified Chinese, traditional Chinese, English.
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '000001', '%s 不存在!', '%s 不存在!', '%s does not exist!');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '000002', '%s 已经存在!', '%s 已經存在!', '%s exists already!');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '000003', '%s 不可空白!', '%s 不可空白!', '%s must not be empty!');
INSERT OR IGNORE INTO ADMMSG VALUES ('W', '000004', '%s 不存在, 是否继续?', '%s 不存在, 是否繼續?', '%s does not exist. Continue?');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '000005', '日期格式错误!', '日期格式錯誤!', 'The date is not valid!');
INSERT OR IGNORE INTO ADMMSG VALUES ('W', '000005', '%s 已经存在, 是否继续?', '%s 已經存在, 是否繼續?', '%s exists already. Continue?');
INSERT OR IGNORE INTO ADMMSG VALUES ('Q', '000006', '确定要删除此笔资料吗?', '確定要刪除此筆資料嗎?', 'Delete this record?');
INSERT OR IGNORE INTO ADMMSG VALUES ('Q', '000007', '资料已修改, 是否存档?', '資料已修改, 是否存檔?', 'The data changed. Save it?');
INSERT OR IGNORE INTO ADMMSG VALUES ('I', '000008', '存档完成!', '存檔完成!', 'Saved.');
INSERT OR IGNORE INTO ADMMSG VALUES ('I', '000009', '没有符合条件的资料!', '沒有符合條件的資料!', 'No record matches.');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '000032', '%s', '%s', '%s');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '000038', '作业程序启动参数错误!', '作業程式啟動參數錯誤!', 'The program was started with wrong parameters!');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '100002', '月份错误!', '月份錯誤!', 'The month is not valid!');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '100012', '%s 不可小于零!', '%s 不可小於零!', '%s must not be below zero!');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '100079', '%s', '%s', '%s');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '100187', '时间格式错误!', '時間格式錯誤!', 'The time is not valid!');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '100280', '%s', '%s', '%s');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '100288', '%s', '%s', '%s');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200002', '%s', '%s', '%s');
INSERT OR IGNORE INTO ADMMSG VALUES ('I', '200007', '已送签核!', '已送簽核!', 'Sent for sign-off.');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200010', '%s', '%s', '%s');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200128', '签核流程不存在!', '簽核流程不存在!', 'There is no sign-off flow!');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200129', '单据已在签核中!', '單據已在簽核中!', 'The document is being signed off already!');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200130', '%s', '%s', '%s');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200132', '%s', '%s', '%s');
INSERT OR IGNORE INTO ADMMSG VALUES ('W', '200399', '是否重新计算单身自定义栏位?', '是否重新計算單身自定義欄位?', 'Compute the user-defined fields of the lines again?');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200570', '无权存取此笔资料!', '無權存取此筆資料!', 'You may not save this record!');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200571', '无权存取下列资料: %s', '無權存取下列資料: %s', 'You may not save these records: %s');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200572', '无权存取单身资料!', '無權存取單身資料!', 'You may not save these lines!');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200573', '无权存取下列单身: %s', '無權存取下列單身: %s', 'You may not save these lines: %s');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200574', '无权存取子单身资料!', '無權存取子單身資料!', 'You may not save these sub-lines!');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200575', '无权存取下列子单身: %s', '無權存取下列子單身: %s', 'You may not save these sub-lines: %s');
INSERT OR IGNORE INTO ADMMSG VALUES ('E', '200820', '年份错误!', '年份錯誤!', 'The year is not valid!');
